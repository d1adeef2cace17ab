#include "script/script_language.h"

#include <algorithm>

#include "text/gbk.h"

namespace kestro {

const std::array<CommandKeyword, 10> CommandKeywordTable = {{
    {CommandId::ClickMouse, "单击鼠标"},
    {CommandId::DoubleClickMouse, "双击鼠标"},
    {CommandId::PressMouse, "按住鼠标"},
    {CommandId::ReleaseMouse, "弹起鼠标"},
    {CommandId::MoveMouse, "移动鼠标"},
    {CommandId::TapKey, "单击键盘"},
    {CommandId::PressKey, "按住键盘"},
    {CommandId::ReleaseKey, "弹起键盘"},
    {CommandId::KeyCombo, "组合按键"},
    {CommandId::Wait, "等待时间"},
}};

const std::array<KeyNameEntry, 32> KeyNameTable = {{
    {1, 8, "退格键"},     {2, 9, "TAB键"},      {3, 13, "回车键"},    {4, 16, "SHIFT键"},
    {5, 17, "CTRL键"},    {6, 18, "ALT键"},     {7, 19, "PAUSE键"},   {8, 20, "CAPSLOCK键"},
    {9, 27, "ESC键"},     {10, 32, "空格键"},   {15, 37, "向左箭头"}, {16, 38, "向上箭头"},
    {17, 39, "向右箭头"}, {18, 40, "向下箭头"}, {23, 46, "DEL键"},    {24, 91, "左Win键"},
    {25, 92, "右Win键"},  {27, 112, "F1"},      {28, 113, "F2"},      {29, 114, "F3"},
    {30, 115, "F4"},      {31, 116, "F5"},      {32, 117, "F6"},      {33, 118, "F7"},
    {34, 119, "F8"},      {35, 120, "F9"},      {36, 121, "F10"},     {37, 122, "F11"},
    {38, 123, "F12"},     {39, 173, "静音键"},  {40, 174, "音量-"},   {41, 175, "音量+"},
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
