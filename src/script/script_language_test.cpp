#include "script/script_language.h"

#include <gtest/gtest.h>

#include "testing/gbk_literal.h"
#include "testing/hex.h"

namespace kestro {
namespace {

TEST(CommandKeywordTableTest, KeywordsAreTheseGbkBytesInCommandIdOrder) {
  const char* expected[] = {
      "B5 A5 BB F7 CA F3 B1 EA", "CB AB BB F7 CA F3 B1 EA", "B0 B4 D7 A1 CA F3 B1 EA",
      "B5 AF C6 F0 CA F3 B1 EA", "D2 C6 B6 AF CA F3 B1 EA", "B5 A5 BB F7 BC FC C5 CC",
      "B0 B4 D7 A1 BC FC C5 CC", "B5 AF C6 F0 BC FC C5 CC", "D7 E9 BA CF B0 B4 BC FC",
      "B5 C8 B4 FD CA B1 BC E4", "CA E4 C8 EB CE C4 D7 D6", "B5 C8 B4 FD D1 D5 C9 AB",
      "B9 F6 B6 AF CA F3 B1 EA",
  };
  ASSERT_EQ(CommandKeywordTable.size(), std::size(expected));
  for (std::size_t i = 0; i < CommandKeywordTable.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(static_cast<int>(CommandKeywordTable[i].id), static_cast<int>(i + 1));
    EXPECT_EQ(Hex(CommandKeywordTable[i].keyword), expected[i]);
  }
}

TEST(LookupCommandTest, MatchesWholeKeywordsOnly) {
  EXPECT_EQ(LookupCommand("单击鼠标"_gbk), CommandId::ClickMouse);
  EXPECT_EQ(LookupCommand("等待时间"_gbk), CommandId::Wait);
  EXPECT_EQ(LookupCommand("组合按键"_gbk), CommandId::KeyCombo);
  EXPECT_EQ(LookupCommand("单击鼠"_gbk), CommandId::None);
  EXPECT_EQ(LookupCommand("单击鼠标:"_gbk), CommandId::None);
  EXPECT_EQ(LookupCommand(""), CommandId::None);
  EXPECT_EQ(LookupCommand("abcdefgh"), CommandId::None);
}

TEST(KeyNameTableTest, RowsInEditorOrderWithTheirKeys) {
  ASSERT_EQ(KeyNameTable.size(), 32u);
  EXPECT_EQ(KeyNameTable.front().name, "退格键"_gbk);
  EXPECT_EQ(KeyNameTable.front().virtualKey, 8);
  EXPECT_EQ(KeyNameTable.back().name, "音量+"_gbk);
  EXPECT_EQ(KeyNameTable.back().virtualKey, 175);
  // The names are compared as bytes, so the GBK bytes of the Chinese names
  // are part of the file format of every stored script.
  EXPECT_EQ(Hex(KeyNameTable[2].name), "BB D8 B3 B5 BC FC");
  EXPECT_EQ(Hex(KeyNameTable[15].name), "D7 F3 57 69 6E BC FC");
  std::size_t longest = 0;
  for (const auto& row : KeyNameTable) longest = std::max(longest, row.name.size());
  EXPECT_EQ(longest, std::string_view("CAPSLOCK键"_gbk).size());
  EXPECT_EQ(longest, 10u);
}

TEST(LookupKeyNameTest, ExactBytesAndCase) {
  struct Case {
    std::string name;
    int virtualKey;  // 0: no row
  } cases[] = {
      {"回车键"_gbk, 13},  {"TAB键"_gbk, 9},
      {"tab键"_gbk, 0},    {"SHIFT键"_gbk, 16},
      {"左Win键"_gbk, 91}, {"左WIN键"_gbk, 0},
      {"右Win键"_gbk, 92}, {"F12", 123},
      {"F13", 0},          {"静音键"_gbk, 173},
      {"音量-"_gbk, 174},  {"CAPSLOCK键"_gbk, 20},
      {"空格键"_gbk, 32},  {"", 0},
      {"DEL键 "_gbk, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const KeyNameEntry* row = LookupKeyName(c.name);
    EXPECT_EQ(row ? row->virtualKey : 0, c.virtualKey);
  }
}

TEST(ReadScriptLineTest, SplitsFirstWordCommandWordAndArgument) {
  struct Case {
    std::string line, firstWord, commandWord, argument;
  } cases[] = {
      {"单击鼠标:左键;"_gbk, "单击鼠标:左键;"_gbk, "单击鼠标"_gbk, "左键;"_gbk},
      {" \t单击鼠标:左键;"_gbk, "单击鼠标:左键;"_gbk, "单击鼠标"_gbk, "左键;"_gbk},
      {"等待时间:500; more text"_gbk, "等待时间:500;"_gbk, "等待时间"_gbk, "500;"},
      {"单击鼠标X左键;"_gbk, "单击鼠标X左键;"_gbk, "单击鼠标"_gbk, "左键;"_gbk},
      // No separator: the argument starts one byte into the button word.
      {"单击鼠标左键;"_gbk, "单击鼠标左键;"_gbk, "单击鼠标"_gbk, "\xF3\xBC\xFC;"},
      {"移动鼠标:100, 200;"_gbk, "移动鼠标:100,"_gbk, "移动鼠标"_gbk, "100,"},
      {"单击鼠标:"_gbk, "单击鼠标:"_gbk, "单击鼠标"_gbk, ""},
      {"单击鼠标"_gbk, "单击鼠标"_gbk, "单击鼠标"_gbk, ""},
      {"abc", "abc", "abc", ""},
      {"", "", "", ""},
      {" \r\n\v\f", "", "", ""},
      {"单击鼠标:左键;\r\n"_gbk, "单击鼠标:左键;"_gbk, "单击鼠标"_gbk, "左键;"_gbk},
      {"等待时间:5"_gbk + std::string("\0;", 2), "等待时间:5"_gbk, "等待时间"_gbk, "5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Hex(c.line));
    ScriptLineParts parts = ReadScriptLine(c.line);
    EXPECT_EQ(parts.firstWord, c.firstWord);
    EXPECT_EQ(parts.commandWord, c.commandWord);
    EXPECT_EQ(parts.argument, c.argument);
  }
}

TEST(ReadScriptLineTest, LongLinesAreReadWhole) {
  std::string line = "等待时间:"_gbk + std::string(200, '1') + ";";
  ScriptLineParts parts = ReadScriptLine(line);
  EXPECT_EQ(parts.firstWord.size(), line.size());
  EXPECT_EQ(parts.argument.size(), 201u);
}

}  // namespace
}  // namespace kestro
