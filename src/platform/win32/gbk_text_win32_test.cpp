#include "platform/win32/gbk_text_win32.h"

#include <gtest/gtest.h>

#include "testing/gbk_literal.h"

namespace kestro {
namespace {

TEST(GbkTextTest, ConvertsCodePage936BothWaysWhateverTheSystemCodePage) {
  // L"" literals are UTF-16, narrow literals GBK bytes.
  struct Case {
    std::string gbk;
    std::wstring wide;
  } cases[] = {
      {"", L""},
      {"单击鼠标:左键;"_gbk, L"单击鼠标:左键;"},
      {"Zelmo按键"_gbk, L"Zelmo按键"},
      {"\xB5\xA5", L"\u5355"},
      {"音量+"_gbk, L"音量+"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WideFromGbk(c.gbk), c.wide);
    EXPECT_EQ(GbkFromWide(c.wide), c.gbk);
  }
}

TEST(GbkTextTest, CharactersOutsideGbkBecomeQuestionMarks) {
  EXPECT_EQ(GbkFromWide(L"a\u0E01b"), "a?b");  // a Thai letter
}

}  // namespace
}  // namespace kestro
