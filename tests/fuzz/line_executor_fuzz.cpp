// Fuzz target: one script line to the line executor. Whatever the line, the
// executor stays within its buffers and does only what a line of its command
// may do: input of the one expected shape or a single error box, never both;
// nothing at all for a line that names no command. Lines of the documented
// form are never refused, and the numbers and texts it plays are those
// written.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "platform/text_encoding.h"
#include "runner/line_executor.h"
#include "script/script_language.h"
#include "script/typed_text.h"
#include "testing/fake_input.h"
#include "testing/fake_main_window.h"
#include "text/decimal.h"
#include "text/system_texts.h"

namespace kestro::fuzz {
namespace {

using Calls = std::vector<std::string>;

std::string Wait(std::int64_t ms) { return "wait " + std::to_string(ms); }
std::string Mouse(int flags) { return "mouse " + std::to_string(flags); }
std::string Key(int key, bool up) { return "key " + std::to_string(key) + (up ? " up" : " down"); }

Calls ButtonEvent(int flags) { return {Wait(100), Mouse(flags), Wait(100)}; }

// True when the text starts with 1 to 9 digits followed by the delimiter,
// a number the executor must take; `pos` moves past the delimiter.
bool PlainNumber(std::string_view text, std::size_t& pos, char delimiter) {
  std::size_t digits = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos, ++digits;
  if (digits == 0 || digits > 9 || pos >= text.size() || text[pos] != delimiter) return false;
  ++pos;
  return true;
}

bool StartsWithButtonWord(std::string_view argument) {
  return argument.starts_with(text::kLeftButtonWord) ||
         argument.starts_with(text::kRightButtonWord);
}

bool IsNamedKeyCode(int key) {
  for (const KeyNameEntry& row : KeyNameTable) {
    if ((row.virtualKey & 0xFF) == key) return true;
  }
  return false;
}

// The key events of a key command for virtual key `key`.
Calls KeyEvents(CommandId id, int key, bool shifted) {
  if (id == CommandId::PressKey) return {Key(key, false)};
  if (id == CommandId::ReleaseKey) return {Key(key, true)};
  if (!shifted) return {Key(key, false), Key(key, true)};
  return {Key(kVirtualKeyShift, false), Key(key, false), Key(key, true),
          Key(kVirtualKeyShift, true)};
}

void CheckKeyCommand(CommandId id, std::string_view argument, const FakeInput& input) {
  std::string_view field = argument.substr(0, argument.find(';'));
  if (input.scanned.empty()) {
    // Only the named form scans no character; its keys come from the table
    // and never with Shift.
    Require(!field.empty() && field.front() == '(', "a key line without a name scans its key");
    if (input.calls.empty()) return;
    int key = std::stoi(input.calls.front().substr(4));
    Require(IsNamedKeyCode(key), "a named key is a key of the table");
    Require(input.calls == KeyEvents(id, key, false), "a named key plays its key events");
    return;
  }
  Require(input.scanned.size() == 1, "a key line scans one character");
  char expected = field.front();
  Require(input.scanned.front() == expected, "the scanned character is the argument's first");
  Require(expected != '(', "a parenthesised argument is a key name");
  auto found = input.layout.find(static_cast<unsigned char>(expected));
  std::uint16_t scan = found == input.layout.end() ? 0xFFFF : found->second;
  Require(input.calls == KeyEvents(id, scan & 0xFF, (scan & kScanShiftBit) != 0),
          "a character key plays the layout's key, with Shift where it needs it");
}

// A text is typed as the press and release of each of its UTF-16 units,
// the characters 10 ms apart; a malformed or empty text is refused.
void CheckTypedText(std::string_view argument, const Calls& calls, bool box) {
  std::size_t end = argument.find(';');
  std::optional<std::string> text =
      end == std::string_view::npos ? std::nullopt : UnescapeTypedText(argument.substr(0, end));
  Require(box == (!text || text->empty()), "a text line is refused exactly when malformed or empty");
  if (box) return;
  std::u16string typed;
  for (const std::string& call : calls) {
    unsigned unit = 0;
    char direction[8] = {};
    if (call == Wait(10)) continue;
    Require(std::sscanf(call.c_str(), "unicode %X %7s", &unit, direction) == 2,
            "a text line types Unicode keys and waits between them");
    if (std::string_view(direction) == "down") typed += static_cast<char16_t>(unit);
  }
  Require(typed == Utf16FromGbk(*text), "the units typed are the text's");
}

// The line played as what it is: for each command the one sequence of
// input it may give, or its error box.
void CheckLine(std::string_view line, const FakeInput& input, const FakeMainWindow& window) {
  ScriptLineParts parts = ReadScriptLine(line);
  CommandId id = LookupCommand(parts.commandWord);
  std::string_view argument = parts.argument;
  const Calls& calls = input.calls;

  Require(window.messages.size() <= 1, "a line shows at most one box");
  bool box = !window.messages.empty();
  if (box && id != CommandId::KeyCombo) {
    std::string caption = std::string(KeywordOf(id)) + std::string(text::kScriptErrorSuffix);
    ShownMessage expected{BoxOwner::MainWindow, std::string(parts.firstWord), caption,
                          kBoxIconWarning};
    Require(window.messages.front() == expected, "an error box shows the first word and caption");
    Require(calls.empty(), "a refused line plays no input");
  }

  std::size_t pos = 0;
  switch (id) {
    case CommandId::None:
      Require(calls.empty() && !box, "a line without a command does nothing");
      return;
    case CommandId::ClickMouse:
      Require(box != StartsWithButtonWord(argument), "a click takes exactly the button words");
      if (!box) Require(calls == ButtonEvent(6) || calls == ButtonEvent(24), "a click");
      return;
    case CommandId::DoubleClickMouse: {
      Require(box != argument.starts_with(text::kLeftButtonWord), "a double click is left only");
      Calls twice = ButtonEvent(6);
      Calls second = ButtonEvent(6);
      twice.insert(twice.end(), second.begin(), second.end());
      if (!box) Require(calls == twice, "a double click is two clicks");
      return;
    }
    case CommandId::PressMouse:
    case CommandId::ReleaseMouse: {
      bool press = id == CommandId::PressMouse;
      Require(!box, "pressing and releasing show no box");
      Require(calls.empty() != StartsWithButtonWord(argument), "a button half takes the words");
      if (calls.empty()) return;
      Require(calls == ButtonEvent(press ? 2 : 4) || calls == ButtonEvent(press ? 8 : 16),
              "a button press or release");
      return;
    }
    case CommandId::MoveMouse: {
      bool plain = PlainNumber(argument, pos, ',') && PlainNumber(argument, pos, ';');
      Require(!(plain && box), "a move of two plain numbers is played");
      if (box) return;
      std::size_t comma = argument.find(',');
      Require(comma != std::string_view::npos, "a played move has its comma");
      Calls move = {"move " + std::to_string(DecimalReading(argument)) + "," +
                    std::to_string(DecimalReading(argument.substr(comma + 1)))};
      Require(calls == move, "a move goes to the numbers written");
      return;
    }
    case CommandId::TapKey:
    case CommandId::PressKey:
    case CommandId::ReleaseKey: {
      bool empty = argument.substr(0, argument.find(';')).empty();
      Require(box == empty, "a key line shows a box exactly when its argument is empty");
      if (box) return;
      CheckKeyCommand(id, argument, input);
      return;
    }
    case CommandId::KeyCombo: {
      ShownMessage notice{BoxOwner::None, std::string(text::kKeyComboKeyword), "", kBoxOk};
      Require(calls.empty() && box && window.messages.front() == notice, "a key combo notice");
      return;
    }
    case CommandId::Wait:
      Require(!(PlainNumber(argument, pos, ';') && box), "a wait of a plain number is played");
      if (box) return;
      Require(calls == Calls{Wait(DecimalReading(argument) + 1)}, "a wait of the time plus 1 ms");
      return;
    case CommandId::TypeText:
      return CheckTypedText(argument, calls, box);
    case CommandId::WaitColour:
      for (const std::string& call : calls) {
        Require(call.starts_with("wait "), "a colour wait plays no input");
      }
      return;
    case CommandId::ScrollWheel: {
      bool negative = argument.starts_with('-');
      pos = negative ? 1 : 0;
      bool plain = PlainNumber(argument, pos, ';') && DecimalReading(argument) <= 17895697;
      Require(!(plain && box), "a wheel of a plain number of notches is turned");
      if (box) return;
      std::int64_t notches = DecimalReading(argument.substr(negative ? 1 : 0));
      if (negative) notches = -notches;
      Require(calls == (notches ? Calls{"wheel " + std::to_string(notches)} : Calls{}),
              "the wheel turns the notches written");
      return;
    }
  }
}

}  // namespace
}  // namespace kestro::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestro;
  // One fake of each for the whole run: the layout map is built once.
  static FakeInput input;
  static FakeMainWindow window;
  input.calls.clear();
  input.scanned.clear();
  window.messages.clear();

  std::string_view line = fuzz::AsText(data, size);
  // The screen is black; a colour wait for another colour is stopped after
  // a few looks rather than left to its time limit.
  int looks = 0;
  Pacer pacer(input);
  ExecuteLine(line, input, window, pacer, [&] { return ++looks > 3; });
  fuzz::CheckLine(line, input, window);
  return 0;
}
