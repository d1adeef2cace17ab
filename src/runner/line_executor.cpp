#include "runner/line_executor.h"

#include <cstdint>
#include <optional>
#include <string>

#include "runner/line_commands.h"
#include "runner/line_fields.h"
#include "script/line_costs.h"
#include "script/script_language.h"
#include "text/system_texts.h"

namespace kestro {
namespace {

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

void ExecuteMove(const ScriptLineParts& parts, Input& input, MainWindow& window, Pacer& pacer) {
  std::size_t pos = 0;
  auto x = ReadSignedField(parts.argument, pos, ',');
  auto y = x ? ReadSignedField(parts.argument, pos, ';') : std::nullopt;
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

// "滚动鼠标:n;": n notches, a '-' before them towards the user; one wheel
// event of them all. At least one digit, and no more notches than a wheel
// event carries.
void ExecuteWheel(const ScriptLineParts& parts, Input& input, MainWindow& window, Pacer& pacer) {
  constexpr int kMostNotches = static_cast<int>(kLargestNumber / kWheelDeltaPerNotch);
  std::size_t pos = 0;
  std::string_view argument = parts.argument;
  bool digits =
      argument.substr(argument.starts_with('-') ? 1 : 0, 1).find_first_of("0123456789") == 0;
  auto notches = digits ? ReadSignedField(argument, pos, ';') : std::nullopt;
  if (!notches || *notches > kMostNotches || *notches < -kMostNotches) {
    return ShowScriptError(window, pacer, CommandId::ScrollWheel, parts.firstWord);
  }
  if (*notches == 0) return;
  input.WheelEvent(*notches);
  pacer.InputReturned();
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
    case CommandId::TypeText:
    case CommandId::WaitColour:
    case CommandId::ScrollWheel:
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

LineOutcome ExecuteLine(std::string_view line, Input& input, Clock& clock, MainWindow& window) {
  Pacer pacer(clock);
  return ExecuteLine(line, input, window, pacer);
}

LineOutcome ExecuteLine(std::string_view line, Input& input, MainWindow& window, Pacer& pacer,
                        const std::function<bool()>& stopRequested) {
  ScriptLineParts parts = ReadScriptLine(line);
  CommandId id = LookupCommand(parts.commandWord);
  switch (id) {
    case CommandId::None:
      break;
    case CommandId::ClickMouse:
      ExecuteClick(parts, input, window, pacer);
      break;
    case CommandId::DoubleClickMouse:
      ExecuteDoubleClick(parts, input, window, pacer);
      break;
    case CommandId::PressMouse:
    case CommandId::ReleaseMouse:
      ExecuteButtonHalf(id, parts, input, pacer);
      break;
    case CommandId::MoveMouse:
      ExecuteMove(parts, input, window, pacer);
      break;
    case CommandId::TapKey:
    case CommandId::PressKey:
    case CommandId::ReleaseKey:
      ExecuteKey(id, parts, input, window, pacer);
      break;
    case CommandId::KeyCombo:
      window.ShowMessage(BoxOwner::None, text::kKeyComboKeyword, "", kBoxOk);
      pacer.Resync();
      break;
    case CommandId::Wait:
      ExecuteWait(parts, window, pacer);
      break;
    case CommandId::TypeText:
      ExecuteTypeText(parts, input, window, pacer);
      break;
    case CommandId::WaitColour:
      return ExecuteColourWait(parts, input, window, pacer, stopRequested);
    case CommandId::ScrollWheel:
      ExecuteWheel(parts, input, window, pacer);
      break;
  }
  return LineOutcome::Next;
}

}  // namespace kestro
