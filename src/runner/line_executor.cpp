#include "runner/line_executor.h"

#include <cstdint>
#include <optional>
#include <string>

#include "script/line_costs.h"
#include "script/script_language.h"
#include "text/system_texts.h"

namespace kestro {
namespace {

constexpr std::size_t kMaxDigits = 31;

// The error box of a malformed line: its first word as text, the command
// word and the error suffix as caption.
// The box holds the run for as long as the user takes, so the next wait
// counts from its end.
void ShowScriptError(MainWindow& window, Pacer& pacer, CommandId id, std::string_view firstWord) {
  std::string caption(KeywordOf(id));
  caption += text::kScriptErrorSuffix;
  window.ShowMessage(BoxOwner::MainWindow, firstWord, caption, kBoxIconWarning);
  pacer.Resync();
}

// Reads decimal digits from `pos` up to `delimiter` and leaves `pos` after
// it. Any other byte, the end of the text, more than 31 digits or a value
// above 2147483647 make the field malformed. No digits read as 0.
std::optional<std::uint32_t> ReadNumberField(std::string_view text, std::size_t& pos,
                                             char delimiter) {
  std::uint64_t value = 0;
  std::size_t digits = 0;
  for (; pos < text.size(); ++pos) {
    char c = text[pos];
    if (c == delimiter) {
      ++pos;
      return static_cast<std::uint32_t>(value);
    }
    if (c < '0' || c > '9' || ++digits > kMaxDigits) return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > kLargestNumber) return std::nullopt;
  }
  return std::nullopt;
}

std::optional<MouseButton> ReadButtonWord(std::string_view argument) {
  std::string_view word = argument.substr(0, kButtonWordBytes);
  if (word == text::kLeftButtonWord) return MouseButton::Left;
  if (word == text::kRightButtonWord) return MouseButton::Right;
  return std::nullopt;
}

void SendButtonEvent(std::uint32_t flags, Input& input, Pacer& pacer) {
  pacer.Wait(kButtonPauseMs);
  input.MouseEvent(flags);
  pacer.InputReturned();
  pacer.Wait(kButtonPauseMs);
}

void ExecuteClick(const ScriptLineParts& parts, Input& input, MainWindow& window, Pacer& pacer) {
  auto button = ReadButtonWord(parts.argument);
  if (!button) return ShowScriptError(window, pacer, CommandId::ClickMouse, parts.firstWord);
  ClickButton(*button, 1, input, pacer);
}

void ExecuteDoubleClick(const ScriptLineParts& parts, Input& input, MainWindow& window,
                        Pacer& pacer) {
  if (ReadButtonWord(parts.argument) != MouseButton::Left) {
    return ShowScriptError(window, pacer, CommandId::DoubleClickMouse, parts.firstWord);
  }
  ClickButton(MouseButton::Left, 2, input, pacer);
}

// Press and release take any other word silently.
void ExecuteButtonHalf(CommandId id, const ScriptLineParts& parts, Input& input, Pacer& pacer) {
  auto button = ReadButtonWord(parts.argument);
  if (!button) return;
  bool left = *button == MouseButton::Left;
  std::uint32_t flags = id == CommandId::PressMouse ? (left ? kMouseLeftDown : kMouseRightDown)
                                                    : (left ? kMouseLeftUp : kMouseRightUp);
  SendButtonEvent(flags, input, pacer);
}

// A coordinate may have a '-' before its digits, for screens left of or
// above the primary one; a '-' without digits after it is malformed.
std::optional<int> ReadCoordinateField(std::string_view text, std::size_t& pos, char delimiter) {
  bool negative = pos < text.size() && text[pos] == '-';
  if (negative && (++pos >= text.size() || text[pos] < '0' || text[pos] > '9')) return std::nullopt;
  auto magnitude = ReadNumberField(text, pos, delimiter);
  if (!magnitude) return std::nullopt;
  int value = static_cast<int>(*magnitude);
  return negative ? -value : value;
}

void ExecuteMove(const ScriptLineParts& parts, Input& input, MainWindow& window, Pacer& pacer) {
  std::size_t pos = 0;
  auto x = ReadCoordinateField(parts.argument, pos, ',');
  auto y = x ? ReadCoordinateField(parts.argument, pos, ';') : std::nullopt;
  if (!y) return ShowScriptError(window, pacer, CommandId::MoveMouse, parts.firstWord);
  input.MoveCursor(*x, *y);
  pacer.InputReturned();
}

void ExecuteWait(const ScriptLineParts& parts, MainWindow& window, Pacer& pacer) {
  std::size_t pos = 0;
  auto t = ReadNumberField(parts.argument, pos, ';');
  if (!t) return ShowScriptError(window, pacer, CommandId::Wait, parts.firstWord);
  // The written time plus its extra; 2147483647 + 1 still fits.
  pacer.Wait(*t + kWaitExtraMs);
}

void SendKey(CommandId id, std::uint8_t key, bool shifted, Input& input) {
  switch (id) {
    case CommandId::TapKey:
      if (shifted) input.KeyEvent(kVirtualKeyShift, false);
      input.KeyEvent(key, false);
      input.KeyEvent(key, true);
      if (shifted) input.KeyEvent(kVirtualKeyShift, true);
      return;
    case CommandId::PressKey:
      input.KeyEvent(key, false);
      return;
    case CommandId::ReleaseKey:
      input.KeyEvent(key, true);
      return;
    case CommandId::None:
    case CommandId::ClickMouse:
    case CommandId::DoubleClickMouse:
    case CommandId::PressMouse:
    case CommandId::ReleaseMouse:
    case CommandId::MoveMouse:
    case CommandId::KeyCombo:
    case CommandId::Wait:
      return;
  }
}

// The key argument runs to the first ';'. "(name)" names a key of the key
// table (the ')' may be missing); otherwise only its first byte counts. An
// empty argument names no key at all: tapping whatever the layout gives the
// zero byte would be a guess, so it is a malformed line.
void ExecuteKey(CommandId id, const ScriptLineParts& parts, Input& input, MainWindow& window,
                Pacer& pacer) {
  std::string_view field = parts.argument.substr(0, parts.argument.find(';'));
  if (field.empty()) return ShowScriptError(window, pacer, id, parts.firstWord);
  if (field.front() == '(') {
    std::string_view name = field.substr(1);
    name = name.substr(0, name.find(')')).substr(0, kKeyNameMaxBytes);
    const KeyNameEntry* row = LookupKeyName(name);
    if (!row) return;
    SendKey(id, static_cast<std::uint8_t>(row->virtualKey & 0xFF), false, input);
    return pacer.InputReturned();
  }
  std::uint16_t scan = input.ScanCharacter(field.front());
  SendKey(id, static_cast<std::uint8_t>(scan & 0xFF), (scan & kScanShiftBit) != 0, input);
  pacer.InputReturned();
}

}  // namespace

void ClickButton(MouseButton button, int times, Input& input, Pacer& pacer) {
  std::uint32_t flags =
      button == MouseButton::Left ? kMouseLeftDown | kMouseLeftUp : kMouseRightDown | kMouseRightUp;
  for (int i = 0; i < times; ++i) SendButtonEvent(flags, input, pacer);
}

void ExecuteLine(std::string_view line, Input& input, Clock& clock, MainWindow& window) {
  Pacer pacer(clock);
  ExecuteLine(line, input, window, pacer);
}

void ExecuteLine(std::string_view line, Input& input, MainWindow& window, Pacer& pacer) {
  ScriptLineParts parts = ReadScriptLine(line);
  CommandId id = LookupCommand(parts.commandWord);
  switch (id) {
    case CommandId::None:
      return;
    case CommandId::ClickMouse:
      return ExecuteClick(parts, input, window, pacer);
    case CommandId::DoubleClickMouse:
      return ExecuteDoubleClick(parts, input, window, pacer);
    case CommandId::PressMouse:
    case CommandId::ReleaseMouse:
      return ExecuteButtonHalf(id, parts, input, pacer);
    case CommandId::MoveMouse:
      return ExecuteMove(parts, input, window, pacer);
    case CommandId::TapKey:
    case CommandId::PressKey:
    case CommandId::ReleaseKey:
      return ExecuteKey(id, parts, input, window, pacer);
    case CommandId::KeyCombo:
      window.ShowMessage(BoxOwner::None, text::kKeyComboKeyword, "", kBoxOk);
      pacer.Resync();
      return;
    case CommandId::Wait:
      return ExecuteWait(parts, window, pacer);
  }
}

}  // namespace kestro
