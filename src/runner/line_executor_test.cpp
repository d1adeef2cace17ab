#include "runner/line_executor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/script_language.h"
#include "testing/fake_input.h"
#include "testing/fake_main_window.h"
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
  ExecuteLine(c.line, input, window);
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
      {"单击鼠标:左键;", kLeftClick, ""},
      {"单击鼠标:右键;", {"wait 100", "mouse 24", "wait 100"}, ""},
      {"单击鼠标:左键", kLeftClick, ""},  // the ';' is not needed here
      {" 单击鼠标:左键;", kLeftClick, ""},
      {"单击鼠标X左键;", kLeftClick, ""},  // the separator is never examined
      {"单击鼠标:左键右键", kLeftClick, ""},
      {"单击鼠标:中键;", {}, "单击鼠标脚本错误!"},
      {"单击鼠标:;", {}, "单击鼠标脚本错误!"},
      {"单击鼠标左键;", {}, "单击鼠标脚本错误!"},
      {"单击鼠标:左", {}, "单击鼠标脚本错误!"},
      {"双击鼠标:左键;",
       {"wait 100", "mouse 6", "wait 100", "wait 100", "mouse 6", "wait 100"},
       ""},
      {"双击鼠标:右键;", {}, "双击鼠标脚本错误!"},
      {"双击鼠标:中键;", {}, "双击鼠标脚本错误!"},
      {"按住鼠标:左键;", {"wait 100", "mouse 2", "wait 100"}, ""},
      {"按住鼠标:右键;", {"wait 100", "mouse 8", "wait 100"}, ""},
      {"弹起鼠标:左键;", {"wait 100", "mouse 4", "wait 100"}, ""},
      {"弹起鼠标:右键;", {"wait 100", "mouse 16", "wait 100"}, ""},
      {"按住鼠标:中键;", {}, ""},  // press and release ignore other words
      {"弹起鼠标:;", {}, ""},
  };
  for (const auto& c : cases) ExpectLine(c);
}

TEST(ExecuteLineTest, MoveMouse) {
  const LineCase cases[] = {
      {"移动鼠标:100,200;", {"move 100,200"}, ""},
      {"移动鼠标:,;", {"move 0,0"}, ""},
      {"移动鼠标:0007,08;trailing", {"move 7,8"}, ""},
      {"移动鼠标:2147483647,2147483647;", {"move 2147483647,2147483647"}, ""},
      {"移动鼠标:12a,5;", {}, "移动鼠标脚本错误!"},
      {"移动鼠标:100,200", {}, "移动鼠标脚本错误!"},
      {"移动鼠标:100", {}, "移动鼠标脚本错误!"},
      {"移动鼠标:", {}, "移动鼠标脚本错误!"},
      {"移动鼠标:100, 200;", {}, "移动鼠标脚本错误!"},  // the word ends at the blank
      {"移动鼠标:-1,5;", {}, "移动鼠标脚本错误!"},
      {"移动鼠标:2147483648,0;", {}, "移动鼠标脚本错误!"},
      {"移动鼠标:0," + std::string(31, '0') + ";", {"move 0,0"}, ""},
      {"移动鼠标:0," + std::string(32, '0') + ";", {}, "移动鼠标脚本错误!"},
  };
  for (const auto& c : cases) ExpectLine(c);
}

TEST(ExecuteLineTest, Wait) {
  const LineCase cases[] = {
      {"等待时间:1000;", {"wait 1001"}, ""},
      {"等待时间:;", {"wait 1"}, ""},
      {"等待时间:0;", {"wait 1"}, ""},
      {"等待时间:500; more text", {"wait 501"}, ""},
      // The largest number still waits one millisecond more, without overflow.
      {"等待时间:2147483647;", {"wait 2147483648"}, ""},
      {"等待时间:2147483648;", {}, "等待时间脚本错误!"},
      {"等待时间:99999999999999999999;", {}, "等待时间脚本错误!"},
      {"等待时间:" + std::string(31, '0') + "5;", {}, "等待时间脚本错误!"},
      {"等待时间:" + std::string(30, '0') + "5;", {"wait 6"}, ""},
      {"等待时间:1000", {}, "等待时间脚本错误!"},
      {"等待时间: 1000;", {}, "等待时间脚本错误!"},
      {"等待时间:1.5;", {}, "等待时间脚本错误!"},
      {"等待时间:+5;", {}, "等待时间脚本错误!"},
  };
  for (const auto& c : cases) ExpectLine(c);
}

TEST(ExecuteLineTest, Keys) {
  const LineCase cases[] = {
      {"单击键盘:a;", {"key 65 down", "key 65 up"}, ""},
      {"单击键盘:A;", {"key 16 down", "key 65 down", "key 65 up", "key 16 up"}, ""},
      {"按住键盘:A;", {"key 65 down"}, ""},
      {"弹起键盘:A;", {"key 65 up"}, ""},
      {"单击键盘:ab;", {"key 65 down", "key 65 up"}, ""},
      {"单击键盘:" + std::string(40, 'b') + ";", {"key 66 down", "key 66 up"}, ""},
      {"单击键盘:(回车键);", {"key 13 down", "key 13 up"}, ""},
      {"单击键盘:(回车键;", {"key 13 down", "key 13 up"}, ""},  // ')' is optional
      {"单击键盘:(回车键", {"key 13 down", "key 13 up"}, ""},
      {"按住键盘:(SHIFT键);", {"key 16 down"}, ""},
      {"弹起键盘:(SHIFT键);", {"key 16 up"}, ""},
      {"单击键盘:(F12);", {"key 123 down", "key 123 up"}, ""},
      {"单击键盘:(音量+);", {"key 175 down", "key 175 up"}, ""},
      {"单击键盘:(tab键);", {}, ""},
      {"单击键盘:(;", {}, ""},
      {"单击键盘:();", {}, ""},
      // A byte no key types scans as all bits set: Shift and key 255.
      {"单击键盘:\x80;", {"key 16 down", "key 255 down", "key 255 up", "key 16 up"}, ""},
      {"按住键盘:\x80;", {"key 255 down"}, ""},
      {"弹起键盘:\x80;", {"key 255 up"}, ""},
  };
  for (const auto& c : cases) ExpectLine(c);
}

TEST(ExecuteLineTest, KeyArgumentEndsAtSemicolonSoAnEmptyOneScansTheZeroByte) {
  FakeInput input;
  input.layout[0] = 0x30;
  FakeMainWindow window;
  ExecuteLine("单击键盘:;;", input, window);
  ExecuteLine("单击键盘:", input, window);
  EXPECT_EQ(input.scanned, std::string(2, '\0'));
  EXPECT_EQ(input.calls, (Calls{"key 48 down", "key 48 up", "key 48 down", "key 48 up"}));
}

TEST(ExecuteLineTest, NamedKeysNeverScanOrAddShift) {
  FakeInput input;
  FakeMainWindow window;
  ExecuteLine("单击键盘:(SHIFT键);", input, window);
  EXPECT_TRUE(input.scanned.empty());
  EXPECT_EQ(input.calls, (Calls{"key 16 down", "key 16 up"}));
}

TEST(ExecuteLineTest, ControlAndAltBitsOfTheScanAreIgnored) {
  FakeInput input;
  input.layout['@'] = 0x0600 | 0x51;  // AltGr+Q on a German layout
  FakeMainWindow window;
  ExecuteLine("单击键盘:@;", input, window);
  EXPECT_EQ(input.calls, (Calls{"key 81 down", "key 81 up"}));
}

TEST(ExecuteLineTest, KeyComboShowsItsNoticeWithoutOwnerOrInput) {
  FakeInput input;
  FakeMainWindow window;
  ExecuteLine("组合按键:ctrl;", input, window);
  EXPECT_TRUE(input.calls.empty());
  ASSERT_EQ(window.messages.size(), 1u);
  EXPECT_EQ(window.messages[0], (ShownMessage{BoxOwner::None, "组合按键", "", 0}));
}

TEST(ExecuteLineTest, UnknownLinesAreSilent) {
  for (std::string line : {"abc", "", "   ", "单击鼠", "脚本开始.", "双击键盘:a;"}) {
    SCOPED_TRACE(Hex(line));
    FakeInput input;
    FakeMainWindow window;
    ExecuteLine(line, input, window);
    EXPECT_TRUE(input.calls.empty());
    EXPECT_TRUE(window.messages.empty());
  }
}

TEST(ClickButtonTest, EachTimeIsPauseClickPause) {
  FakeInput input;
  ClickButton(MouseButton::Right, 3, input);
  Calls expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), {"wait 100", "mouse 24", "wait 100"});
  EXPECT_EQ(input.calls, expected);
}

}  // namespace
}  // namespace kestro
