#include "script/typed_text.h"

#include <gtest/gtest.h>

#include "script/script_file.h"
#include "script/script_language.h"
#include "testing/gbk_literal.h"
#include "testing/hex.h"

namespace kestro {
namespace {

// A text goes through everything a line goes through: the editor splits it
// into lines, the file keeps and loads them, the line reader takes each
// argument up to ';', and the arguments give the text back.
TEST(TypedTextTest, TextsSurviveLinesFilesAndTheReader) {
  const struct {
    std::string text;
    std::vector<std::string> lines;  // empty: only the round trip is checked
  } cases[] = {
      {"张三，你好！Abc 1.5;"_gbk, {"输入文字:张三，你好！Abc\\x201\\x2E5\\x3B;"_gbk}},
      {"a\\b\tc\r\n"_gbk, {"输入文字:a\\x5Cb\\x09c\\x0D\\x0A;"_gbk}},
      // A two-byte character whose second byte is a backslash stays whole.
      {"\x95\x5C", {"输入文字:"_gbk + "\x95\x5C;"}},
      {std::string(53, 'a'), {"输入文字:"_gbk + std::string(53, 'a') + ";"}},
      {std::string(54, 'a'), {"输入文字:"_gbk + std::string(53, 'a') + ";", "输入文字:a;"_gbk}},
      // An escape or a character that would cross the end of a line starts
      // the next one.
      {std::string(51, 'a') + " b",
       {"输入文字:"_gbk + std::string(51, 'a') + ";", "输入文字:\\x20b;"_gbk}},
      {std::string(52, 'a') + "你"_gbk,
       {"输入文字:"_gbk + std::string(52, 'a') + ";", "输入文字:你;"_gbk}},
      {std::string(200, '.'), {}},
      {"中文。标点；空格　全角"_gbk, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Hex(c.text));
    std::vector<std::string> lines = TypeTextLines(c.text);
    if (!c.lines.empty()) {
      EXPECT_EQ(lines, c.lines);
    }
    std::string typed;
    for (const std::string& line : lines) {
      EXPECT_LE(line.size(), kMaxScriptLineBytes);
      ScriptLineParts parts = ReadScriptLine(line);
      EXPECT_EQ(LookupCommand(parts.commandWord), CommandId::TypeText);
      std::string_view argument = parts.argument.substr(0, parts.argument.find(';'));
      EXPECT_EQ(argument.size() + 1, parts.argument.size()) << "the ';' ends the line";
      typed += UnescapeTypedText(argument).value_or("<malformed>");
    }
    EXPECT_EQ(typed, c.text);
    EXPECT_EQ(ParseScriptText(ComposeScriptText("1", lines)).lines, lines);
  }
}

TEST(TypedTextTest, EscapesThatAreNoneAreMalformed) {
  EXPECT_EQ(UnescapeTypedText("\\\\x41\\x2e"), "\\x41.");
  for (const char* bad : {"\\", "\\q", "\\x", "\\x4", "\\x4G", "\\x80", "\\x00", "a\\"}) {
    EXPECT_EQ(UnescapeTypedText(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(CharacterCount("a张三b"_gbk), 4u);
}

}  // namespace
}  // namespace kestro
