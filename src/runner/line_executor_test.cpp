#include "runner/line_executor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/script_language.h"
#include "testing/fake_input.h"
#include "testing/fake_main_window.h"
#include "testing/gbk_literal.h"
#include "testing/hex.h"

namespace kestro {
namespace {

using Calls = std::vector<std::string>;

struct LineCase {
  std::string line;
  Calls calls;
  std::string errorCaption;  // empty: no box
};

void ExpectLine(const LineCase& c) {
  SCOPED_TRACE(Hex(c.line));
  FakeInput input;
  FakeMainWindow window;
  ExecuteLine(c.line, input, input, window);
  EXPECT_EQ(input.calls, c.calls);
  if (c.errorCaption.empty()) {
    EXPECT_TRUE(window.messages.empty());
    return;
  }
  ASSERT_EQ(window.messages.size(), 1u);
  std::string firstWord(ReadScriptLine(c.line).firstWord);
  EXPECT_EQ(window.messages[0],
            (ShownMessage{BoxOwner::MainWindow, firstWord, c.errorCaption, 0x30}));
}

const Calls kLeftClick = {"wait 100", "mouse 6", "wait 100"};

TEST(ExecuteLineTest, MouseButtons) {
  const LineCase cases[] = {
      {"单击鼠标:左键;"_gbk, kLeftClick, ""},
      {"单击鼠标:右键;"_gbk, {"wait 100", "mouse 24", "wait 100"}, ""},
      {"单击鼠标:左键"_gbk, kLeftClick, ""},  // the ';' is not needed here
      {" 单击鼠标:左键;"_gbk, kLeftClick, ""},
      {"单击鼠标X左键;"_gbk, kLeftClick, ""},  // the separator is never examined
      {"单击鼠标:左键右键"_gbk, kLeftClick, ""},
      {"单击鼠标:中键;"_gbk, {}, "单击鼠标脚本错误!"_gbk},
      {"单击鼠标:;"_gbk, {}, "单击鼠标脚本错误!"_gbk},
      {"单击鼠标左键;"_gbk, {}, "单击鼠标脚本错误!"_gbk},
      {"单击鼠标:左"_gbk, {}, "单击鼠标脚本错误!"_gbk},
      {"双击鼠标:左键;"_gbk,
       {"wait 100", "mouse 6", "wait 100", "wait 100", "mouse 6", "wait 100"},
       ""},
      {"双击鼠标:右键;"_gbk, {}, "双击鼠标脚本错误!"_gbk},
      {"双击鼠标:中键;"_gbk, {}, "双击鼠标脚本错误!"_gbk},
      {"按住鼠标:左键;"_gbk, {"wait 100", "mouse 2", "wait 100"}, ""},
      {"按住鼠标:右键;"_gbk, {"wait 100", "mouse 8", "wait 100"}, ""},
      {"弹起鼠标:左键;"_gbk, {"wait 100", "mouse 4", "wait 100"}, ""},
      {"弹起鼠标:右键;"_gbk, {"wait 100", "mouse 16", "wait 100"}, ""},
      {"按住鼠标:中键;"_gbk, {}, ""},  // press and release ignore other words
      {"弹起鼠标:;"_gbk, {}, ""},
  };
  for (const auto& c : cases) ExpectLine(c);
}

TEST(ExecuteLineTest, MoveMouse) {
  const LineCase cases[] = {
      {"移动鼠标:100,200;"_gbk, {"move 100,200"}, ""},
      {"移动鼠标:,;"_gbk, {"move 0,0"}, ""},
      {"移动鼠标:0007,08;trailing"_gbk, {"move 7,8"}, ""},
      {"移动鼠标:2147483647,2147483647;"_gbk, {"move 2147483647,2147483647"}, ""},
      {"移动鼠标:12a,5;"_gbk, {}, "移动鼠标脚本错误!"_gbk},
      {"移动鼠标:100,200"_gbk, {}, "移动鼠标脚本错误!"_gbk},
      {"移动鼠标:100"_gbk, {}, "移动鼠标脚本错误!"_gbk},
      {"移动鼠标:"_gbk, {}, "移动鼠标脚本错误!"_gbk},
      {"移动鼠标:100, 200;"_gbk, {}, "移动鼠标脚本错误!"_gbk},  // the word ends at the blank
      // Screens left of or above the primary one have negative coordinates.
      {"移动鼠标:-1,5;"_gbk, {"move -1,5"}, ""},
      {"移动鼠标:-1920,-1080;"_gbk, {"move -1920,-1080"}, ""},
      {"移动鼠标:-0,-00;"_gbk, {"move 0,0"}, ""},
      {"移动鼠标:-2147483647,0;"_gbk, {"move -2147483647,0"}, ""},
      {"移动鼠标:-2147483648,0;"_gbk, {}, "移动鼠标脚本错误!"_gbk},
      {"移动鼠标:-,5;"_gbk, {}, "移动鼠标脚本错误!"_gbk},  // a sign needs digits
      {"移动鼠标:5,-;"_gbk, {}, "移动鼠标脚本错误!"_gbk},
      {"移动鼠标:5,-"_gbk, {}, "移动鼠标脚本错误!"_gbk},
      {"移动鼠标:--1,5;"_gbk, {}, "移动鼠标脚本错误!"_gbk},
      {"移动鼠标:1-2,5;"_gbk, {}, "移动鼠标脚本错误!"_gbk},
      {"移动鼠标:+1,5;"_gbk, {}, "移动鼠标脚本错误!"_gbk},
      {"移动鼠标:5,-"_gbk + std::string(31, '9') + ";", {}, "移动鼠标脚本错误!"_gbk},
      {"移动鼠标:2147483648,0;"_gbk, {}, "移动鼠标脚本错误!"_gbk},
      {"移动鼠标:0,"_gbk + std::string(31, '0') + ";", {"move 0,0"}, ""},
      {"移动鼠标:0,"_gbk + std::string(32, '0') + ";", {}, "移动鼠标脚本错误!"_gbk},
  };
  for (const auto& c : cases) ExpectLine(c);
}

TEST(ExecuteLineTest, Wait) {
  const LineCase cases[] = {
      {"等待时间:1000;"_gbk, {"wait 1001"}, ""},
      {"等待时间:;"_gbk, {"wait 1"}, ""},
      {"等待时间:0;"_gbk, {"wait 1"}, ""},
      {"等待时间:500; more text"_gbk, {"wait 501"}, ""},
      // The largest number still waits one millisecond more, without overflow.
      {"等待时间:2147483647;"_gbk, {"wait 2147483648"}, ""},
      {"等待时间:2147483648;"_gbk, {}, "等待时间脚本错误!"_gbk},
      {"等待时间:99999999999999999999;"_gbk, {}, "等待时间脚本错误!"_gbk},
      {"等待时间:"_gbk + std::string(31, '0') + "5;", {}, "等待时间脚本错误!"_gbk},
      {"等待时间:"_gbk + std::string(30, '0') + "5;", {"wait 6"}, ""},
      {"等待时间:1000"_gbk, {}, "等待时间脚本错误!"_gbk},
      {"等待时间: 1000;"_gbk, {}, "等待时间脚本错误!"_gbk},
      {"等待时间:1.5;"_gbk, {}, "等待时间脚本错误!"_gbk},
      {"等待时间:+5;"_gbk, {}, "等待时间脚本错误!"_gbk},
  };
  for (const auto& c : cases) ExpectLine(c);
}

// Text, the wheel, and the colour wait's malformed lines (the black screen
// of the fake has the colour 000000 at once).
TEST(ExecuteLineTest, TextWheelAndColourLines) {
  const LineCase cases[] = {
      {"输入文字:a张;"_gbk,
       {"unicode 0061 down", "unicode 0061 up", "wait 10", "unicode 5F20 down", "unicode 5F20 up"},
       ""},
      {"输入文字:\\\\\\x3B;"_gbk,
       {"unicode 005C down", "unicode 005C up", "wait 10", "unicode 003B down", "unicode 003B up"},
       ""},
      {"输入文字:;"_gbk, {}, "输入文字脚本错误!"_gbk},
      {"输入文字:abc"_gbk, {}, "输入文字脚本错误!"_gbk},
      {"输入文字:a\\q;"_gbk, {}, "输入文字脚本错误!"_gbk},
      {"滚动鼠标:3;"_gbk, {"wheel 3"}, ""},
      {"滚动鼠标:-12;"_gbk, {"wheel -12"}, ""},
      {"滚动鼠标:0;"_gbk, {}, ""},
      {"滚动鼠标:17895697;"_gbk, {"wheel 17895697"}, ""},
      {"滚动鼠标:17895698;"_gbk, {}, "滚动鼠标脚本错误!"_gbk},
      {"滚动鼠标:;"_gbk, {}, "滚动鼠标脚本错误!"_gbk},
      {"滚动鼠标:-;"_gbk, {}, "滚动鼠标脚本错误!"_gbk},
      {"滚动鼠标:+1;"_gbk, {}, "滚动鼠标脚本错误!"_gbk},
      {"滚动鼠标:1"_gbk, {}, "滚动鼠标脚本错误!"_gbk},
      {"等待颜色:1,2,000000;"_gbk, {}, ""},
      {"等待颜色:-1,2,000000,;"_gbk, {}, ""},
      {"等待颜色:1,2,000000,5;"_gbk, {}, ""},
      {"等待颜色:1,2;"_gbk, {}, "等待颜色脚本错误!"_gbk},
      {"等待颜色:1,2,00000;"_gbk, {}, "等待颜色脚本错误!"_gbk},
      {"等待颜色:1,2,0000000;"_gbk, {}, "等待颜色脚本错误!"_gbk},
      {"等待颜色:1,2,00000G;"_gbk, {}, "等待颜色脚本错误!"_gbk},
      {"等待颜色:1,2,000000"_gbk, {}, "等待颜色脚本错误!"_gbk},
      {"等待颜色:1,2,000000,5"_gbk, {}, "等待颜色脚本错误!"_gbk},
  };
  for (const auto& c : cases) ExpectLine(c);
}

TEST(ExecuteLineTest, Keys) {
  const LineCase cases[] = {
      {"单击键盘:a;"_gbk, {"key 65 down", "key 65 up"}, ""},
      {"单击键盘:A;"_gbk, {"key 16 down", "key 65 down", "key 65 up", "key 16 up"}, ""},
      {"按住键盘:A;"_gbk, {"key 65 down"}, ""},
      {"弹起键盘:A;"_gbk, {"key 65 up"}, ""},
      {"单击键盘:ab;"_gbk, {"key 65 down", "key 65 up"}, ""},
      {"单击键盘:"_gbk + std::string(40, 'b') + ";", {"key 66 down", "key 66 up"}, ""},
      {"单击键盘:(回车键);"_gbk, {"key 13 down", "key 13 up"}, ""},
      {"单击键盘:(回车键;"_gbk, {"key 13 down", "key 13 up"}, ""},  // ')' is optional
      {"单击键盘:(回车键"_gbk, {"key 13 down", "key 13 up"}, ""},
      {"按住键盘:(SHIFT键);"_gbk, {"key 16 down"}, ""},
      {"弹起键盘:(SHIFT键);"_gbk, {"key 16 up"}, ""},
      {"单击键盘:(F12);"_gbk, {"key 123 down", "key 123 up"}, ""},
      {"单击键盘:(音量+);"_gbk, {"key 175 down", "key 175 up"}, ""},
      {"单击键盘:(tab键);"_gbk, {}, ""},
      {"单击键盘:(;"_gbk, {}, ""},
      {"单击键盘:();"_gbk, {}, ""},
      // A byte no key types scans as all bits set: Shift and key 255.
      {"单击键盘:"_gbk + "\x80;", {"key 16 down", "key 255 down", "key 255 up", "key 16 up"}, ""},
      {"按住键盘:"_gbk + "\x80;", {"key 255 down"}, ""},
      {"弹起键盘:"_gbk + "\x80;", {"key 255 up"}, ""},
      // An empty argument names no key: a malformed line, nothing sent.
      {"单击键盘:;"_gbk, {}, "单击键盘脚本错误!"_gbk},
      {"单击键盘:;;"_gbk, {}, "单击键盘脚本错误!"_gbk},
      {"单击键盘:"_gbk, {}, "单击键盘脚本错误!"_gbk},
      {"单击键盘: ;"_gbk, {}, "单击键盘脚本错误!"_gbk},  // the word ends at the blank
      {"按住键盘:;"_gbk, {}, "按住键盘脚本错误!"_gbk},
      {"弹起键盘:"_gbk, {}, "弹起键盘脚本错误!"_gbk},
      {"单击键盘:.;"_gbk, {"key 190 down", "key 190 up"}, ""},
  };
  for (const auto& c : cases) ExpectLine(c);
}

TEST(ExecuteLineTest, NamedKeysNeverScanOrAddShift) {
  FakeInput input;
  FakeMainWindow window;
  ExecuteLine("单击键盘:(SHIFT键);"_gbk, input, input, window);
  EXPECT_TRUE(input.scanned.empty());
  EXPECT_EQ(input.calls, (Calls{"key 16 down", "key 16 up"}));
}

TEST(ExecuteLineTest, ControlAndAltBitsOfTheScanAreIgnored) {
  FakeInput input;
  input.layout['@'] = 0x0600 | 0x51;  // AltGr+Q on a German layout
  FakeMainWindow window;
  ExecuteLine("单击键盘:@;"_gbk, input, input, window);
  EXPECT_EQ(input.calls, (Calls{"key 81 down", "key 81 up"}));
}

TEST(ExecuteLineTest, KeyComboShowsItsNoticeWithoutOwnerOrInput) {
  FakeInput input;
  FakeMainWindow window;
  ExecuteLine("组合按键:ctrl;"_gbk, input, input, window);
  EXPECT_TRUE(input.calls.empty());
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0], (ShownMessage{BoxOwner::None, "组合按键"_gbk, "", 0}));
}

TEST(ExecuteLineTest, UnknownLinesAreSilent) {
  for (std::string line : {std::string("abc"), std::string(), std::string("   "), "单击鼠"_gbk,
                           "脚本开始."_gbk, "双击键盘:a;"_gbk}) {
    SCOPED_TRACE(Hex(line));
    FakeInput input;
    FakeMainWindow window;
    ExecuteLine(line, input, input, window);
    EXPECT_TRUE(input.calls.empty());
    EXPECT_TRUE(window.messages.empty());
  }
}

TEST(ClickButtonTest, EachTimeIsPauseClickPause) {
  FakeInput input;
  Pacer pacer(input);
  ClickButton(MouseButton::Right, 3, input, pacer);
  Calls expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), {"wait 100", "mouse 24", "wait 100"});
  EXPECT_EQ(input.calls, expected);
}

}  // namespace
}  // namespace kestro
