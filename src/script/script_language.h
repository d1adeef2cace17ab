// The script line language: command words, mouse-button words, the named
// keys, and how a line splits into first word, command word and argument.
// All text is GBK bytes; every length and position counts bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestro {

enum class CommandId : std::uint16_t {
  None = 0,
  ClickMouse = 1,
  DoubleClickMouse = 2,
  PressMouse = 3,
  ReleaseMouse = 4,
  MoveMouse = 5,
  TapKey = 6,
  PressKey = 7,
  ReleaseKey = 8,
  KeyCombo = 9,
  Wait = 10,
  TypeText = 11,
  WaitColour = 12,
  ScrollWheel = 13,
};

struct CommandKeyword {
  CommandId id;
  std::string_view keyword;  // four Chinese characters, 8 bytes
};

struct KeyNameEntry {
  std::uint8_t index;  // ordinal of the row, with gaps; nothing reads it
  int virtualKey;
  std::string_view name;
};

extern const std::array<CommandKeyword, 13> CommandKeywordTable;
extern const std::array<KeyNameEntry, 32> KeyNameTable;

inline constexpr std::size_t kCommandWordBytes = 8;
inline constexpr std::size_t kArgumentOffset = 9;  // after the separator byte
inline constexpr std::size_t kButtonWordBytes = 4;
inline constexpr std::size_t kKeyNameMaxBytes = 29;
// The largest number a line takes (a wait, a coordinate either side of 0).
inline constexpr std::uint32_t kLargestNumber = 2147483647;
// A notch of the wheel, as the system counts it.
inline constexpr int kWheelDeltaPerNotch = 120;

// The command whose keyword equals the command word byte for byte, or None.
CommandId LookupCommand(std::string_view commandWord);
// The first row whose name equals the given name byte for byte, or nullptr.
const KeyNameEntry* LookupKeyName(std::string_view name);
// The keyword of a command; empty for None.
std::string_view KeywordOf(CommandId id);

// A line as the editor and the recorder write it: its start (a keyword and
// its separator, as "单击键盘:"), then the argument and the ';' that ends it.
std::string ComposeLine(std::string_view start, std::string_view argument);
// The command's keyword, ':', the argument, ';'.
std::string ComposeLine(CommandId id, std::string_view argument);

struct ScriptLineParts {
  std::string_view firstWord;
  std::string_view commandWord;  // the first 8 bytes of the first word
  std::string_view argument;     // the first word from byte 9 on
};

// Splits a line: the first word runs from the first non-whitespace byte to
// the next whitespace byte; everything after it is ignored. The byte between
// command word and argument is a separator that is never examined. A NUL
// byte ends the line, as it ends a line held as a C string.
ScriptLineParts ReadScriptLine(std::string_view line);

}  // namespace kestro
