#include "script/script_language.h"

#include <algorithm>

#include "text/gbk.h"
#include "text/system_texts.h"

namespace kestro {

const std::array<CommandKeyword, 13> CommandKeywordTable = {{
    {CommandId::ClickMouse, text::kClickMouseKeyword},
    {CommandId::DoubleClickMouse, text::kDoubleClickMouseKeyword},
    {CommandId::PressMouse, text::kPressMouseKeyword},
    {CommandId::ReleaseMouse, text::kReleaseMouseKeyword},
    {CommandId::MoveMouse, text::kMoveMouseKeyword},
    {CommandId::TapKey, text::kTapKeyKeyword},
    {CommandId::PressKey, text::kPressKeyKeyword},
    {CommandId::ReleaseKey, text::kReleaseKeyKeyword},
    {CommandId::KeyCombo, text::kKeyComboKeyword},
    {CommandId::Wait, text::kWaitKeyword},
    {CommandId::TypeText, text::kTypeTextKeyword},
    {CommandId::WaitColour, text::kWaitColourKeyword},
    {CommandId::ScrollWheel, text::kScrollWheelKeyword},
}};

const std::array<KeyNameEntry, 32> KeyNameTable = {{
    {1, 8, text::kBackspaceKeyName},
    {2, 9, text::kTabKeyName},
    {3, 13, text::kEnterKeyName},
    {4, 16, text::kShiftKeyName},
    {5, 17, text::kCtrlKeyName},
    {6, 18, text::kAltKeyName},
    {7, 19, text::kPauseKeyName},
    {8, 20, text::kCapsLockKeyName},
    {9, 27, text::kEscKeyName},
    {10, 32, text::kSpaceKeyName},
    {15, 37, text::kLeftArrowKeyName},
    {16, 38, text::kUpArrowKeyName},
    {17, 39, text::kRightArrowKeyName},
    {18, 40, text::kDownArrowKeyName},
    {23, 46, text::kDeleteKeyName},
    {24, 91, text::kLeftWinKeyName},
    {25, 92, text::kRightWinKeyName},
    {27, 112, "F1"},
    {28, 113, "F2"},
    {29, 114, "F3"},
    {30, 115, "F4"},
    {31, 116, "F5"},
    {32, 117, "F6"},
    {33, 118, "F7"},
    {34, 119, "F8"},
    {35, 120, "F9"},
    {36, 121, "F10"},
    {37, 122, "F11"},
    {38, 123, "F12"},
    {39, 173, text::kMuteKeyName},
    {40, 174, text::kVolumeDownKeyName},
    {41, 175, text::kVolumeUpKeyName},
}};

CommandId LookupCommand(std::string_view commandWord) {
  for (const auto& record : CommandKeywordTable) {
    if (record.keyword == commandWord) return record.id;
  }
  return CommandId::None;
}

const KeyNameEntry* LookupKeyName(std::string_view name) {
  for (const auto& row : KeyNameTable) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

std::string_view KeywordOf(CommandId id) {
  for (const auto& record : CommandKeywordTable) {
    if (record.id == id) return record.keyword;
  }
  return {};
}

std::string ComposeLine(std::string_view start, std::string_view argument) {
  std::string line;
  line.reserve(start.size() + argument.size() + 1);
  line.append(start).append(argument) += ';';
  return line;
}

std::string ComposeLine(CommandId id, std::string_view argument) {
  return ComposeLine(std::string(KeywordOf(id)) + ':', argument);
}

ScriptLineParts ReadScriptLine(std::string_view line) {
  line = line.substr(0, line.find('\0'));
  auto begin = std::find_if_not(line.begin(), line.end(), IsSpaceByte);
  auto end = std::find_if(begin, line.end(), IsSpaceByte);
  std::string_view word(begin, end);

  ScriptLineParts parts;
  parts.firstWord = word;
  parts.commandWord = word.substr(0, kCommandWordBytes);
  if (word.size() > kArgumentOffset) parts.argument = word.substr(kArgumentOffset);
  return parts;
}

}  // namespace kestro
