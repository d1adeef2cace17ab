#include "script/script_editor.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "testing/fake_main_window.h"
#include "testing/gbk_literal.h"

namespace kestro {
namespace {

using Lines = std::vector<std::string>;

class ScriptEditorTest : public ::testing::Test {
 protected:
  ScriptEditorTest() {
    FillKeyNameCombo(window_);
    FillEditorControls(window_);
  }
  FakeMainWindow window_;
};

TEST_F(ScriptEditorTest, InitialControls) {
  EXPECT_EQ(window_.combos[IDC_MOUSE_CHOICE].entries.size(), 7u);
  EXPECT_EQ(window_.combos[IDC_KEY_ACTION].entries,
            (Lines{"单击键盘:"_gbk, "按住键盘:"_gbk, "弹起键盘:"_gbk}));
  EXPECT_EQ(window_.combos[IDC_SPECIAL_ACTION].entries, window_.combos[IDC_KEY_ACTION].entries);
  EXPECT_EQ(window_.combos[IDC_SPECIAL_KEY].entries.size(), 32u);
  for (int combo : {IDC_MOUSE_CHOICE, IDC_KEY_ACTION, IDC_SPECIAL_ACTION, IDC_SPECIAL_KEY}) {
    EXPECT_EQ(window_.combos[combo].selection, 0) << combo;
  }
  EXPECT_EQ(window_.texts[IDC_SPECIAL_KEY], "退格键"_gbk);
  EXPECT_EQ(window_.texts[IDC_KEY_CHAR], "a");
  EXPECT_EQ(window_.texts[IDC_REPEAT_COUNT], "1");
  EXPECT_EQ(window_.texts[IDC_WAIT_MS], "1000");
  EXPECT_EQ(window_.texts[IDC_TARGET_X], "0");
  EXPECT_EQ(window_.texts[IDC_TARGET_Y], "0");
}

TEST_F(ScriptEditorTest, EachInsertCommandComposesItsLineFromTheInitialControls) {
  struct Case {
    std::function<void(MainWindow&)> command;
    std::string line;
  } cases[] = {
      {InsertMouseLine, "单击鼠标:左键;"_gbk}, {InsertMoveLine, "移动鼠标:0,0;"_gbk},
      {InsertKeyLine, "单击键盘:a;"_gbk},      {InsertSpecialKeyLine, "单击键盘:(退格键);"_gbk},
      {InsertWaitLine, "等待时间:1000;"_gbk},
  };
  for (const auto& c : cases) {
    window_.lines.clear();
    window_.selection = -1;
    c.command(window_);
    EXPECT_EQ(window_.lines, Lines{c.line});
    EXPECT_EQ(window_.selection, 0);
  }
  EXPECT_TRUE(window_.messages.empty());
}

TEST_F(ScriptEditorTest, MouseChoicesAreTheSevenLines) {
  Lines lines;
  for (int i = 0; i < 7; ++i) {
    window_.ComboSelect(IDC_MOUSE_CHOICE, i);
    InsertMouseLine(window_);
  }
  EXPECT_EQ(window_.lines, (Lines{"单击鼠标:左键;"_gbk, "单击鼠标:右键;"_gbk, "双击鼠标:左键;"_gbk,
                                  "按住鼠标:左键;"_gbk, "按住鼠标:右键;"_gbk, "弹起鼠标:左键;"_gbk,
                                  "弹起鼠标:右键;"_gbk}));
}

TEST_F(ScriptEditorTest, InsertionGoesAfterTheSelectionAndSelectsTheNewLine) {
  window_.lines = {"1", "2", "3"};
  window_.selection = 1;
  InsertScriptLine(window_, "A");
  InsertScriptLine(window_, "B");
  EXPECT_EQ(window_.lines, (Lines{"1", "2", "A", "B", "3"}));
  EXPECT_EQ(window_.selection, 3);

  window_.selection = 4;  // the last line: an append
  InsertScriptLine(window_, "C");
  EXPECT_EQ(window_.lines.back(), "C");
  EXPECT_EQ(window_.selection, 5);

  window_.selection = -1;  // none: an append
  InsertScriptLine(window_, "D");
  EXPECT_EQ(window_.lines.back(), "D");
  EXPECT_EQ(window_.selection, 6);
}

TEST_F(ScriptEditorTest, DeleteRemovesTheSelectedLineAndLeavesNoneSelected) {
  window_.lines = {"1", "2", "3"};
  window_.selection = 0;
  DeleteSelectedLine(window_);
  EXPECT_EQ(window_.lines, (Lines{"2", "3"}));
  EXPECT_EQ(window_.selection, -1);
  InsertScriptLine(window_, "X");
  EXPECT_EQ(window_.lines, (Lines{"2", "3", "X"}));
}

TEST_F(ScriptEditorTest, DeleteWithoutSelectionIsRefused) {
  for (Lines lines : {Lines{}, Lines{"1", "2"}}) {
    window_.lines = lines;
    window_.selection = -1;
    window_.messages.clear();
    DeleteSelectedLine(window_);
    EXPECT_EQ(window_.lines, lines);
    ASSERT_EQ(window_.messages.size(), 1u);
    EXPECT_EQ(window_.messages[0],
              (ShownMessage{BoxOwner::MainWindow, "没有选中要删除的行"_gbk, "提示"_gbk, 0}));
  }
}

TEST_F(ScriptEditorTest, ClearEmptiesTheListOnly) {
  window_.lines = {"1", "2"};
  window_.selection = 1;
  window_.texts[IDC_REPEAT_COUNT] = "7";
  window_.checks[IDC_LOOP] = true;
  ClearScriptList(window_);
  EXPECT_TRUE(window_.lines.empty());
  EXPECT_EQ(window_.selection, -1);
  EXPECT_EQ(window_.texts[IDC_REPEAT_COUNT], "7");
  EXPECT_TRUE(window_.checks[IDC_LOOP]);
  EXPECT_TRUE(window_.messages.empty());
}

TEST_F(ScriptEditorTest, WaitLineTakesAnyTextButNothing) {
  window_.texts[IDC_WAIT_MS] = " ";
  InsertWaitLine(window_);
  window_.texts[IDC_WAIT_MS] = "-1.5x";
  InsertWaitLine(window_);
  EXPECT_EQ(window_.lines, (Lines{"等待时间: ;"_gbk, "等待时间:-1.5x;"_gbk}));

  window_.texts[IDC_WAIT_MS] = "";
  InsertWaitLine(window_);
  EXPECT_EQ(window_.lines.size(), 2u);
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0],
            (ShownMessage{BoxOwner::MainWindow, "请输入要延时的毫秒数"_gbk, "提示"_gbk, 0}));
}

TEST_F(ScriptEditorTest, SpecialKeysUseTheActionOnlyForModifiers) {
  struct Case {
    std::string key;
    int action;  // entry of 1021: 0 tap, 1 press, 2 release
    std::string line;
    int actionAfter;
  } cases[] = {
      {"回车键"_gbk, 1, "单击键盘:(回车键);"_gbk, 0},
      {"CTRL键"_gbk, 2, "弹起键盘:(CTRL键);"_gbk, 2},
      {"左Win键"_gbk, 1, "按住键盘:(左Win键);"_gbk, 1},
      {"SHIFT键"_gbk, 0, "单击键盘:(SHIFT键);"_gbk, 0},
      {"ctrl键"_gbk, 1, "单击键盘:(ctrl键);"_gbk, 0},  // modifier names match exactly
      {"不存在的键"_gbk, 2, "单击键盘:(不存在的键);"_gbk, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    window_.lines.clear();
    window_.selection = -1;
    window_.texts[IDC_SPECIAL_KEY] = c.key;  // typed or picked
    window_.ComboSelect(IDC_SPECIAL_ACTION, c.action);
    InsertSpecialKeyLine(window_);
    EXPECT_EQ(window_.lines, Lines{c.line});
    EXPECT_EQ(window_.combos[IDC_SPECIAL_ACTION].selection, c.actionAfter);
  }
}

TEST_F(ScriptEditorTest, TypedActionsGoIntoTheLineAsTyped) {
  window_.texts[IDC_SPECIAL_KEY] = "ALT键"_gbk;
  window_.texts[IDC_SPECIAL_ACTION] = "组合按键:"_gbk;
  InsertSpecialKeyLine(window_);
  EXPECT_EQ(window_.lines, Lines{"组合按键:(ALT键);"_gbk});
}

TEST_F(ScriptEditorTest, TypedTextGoesIntoTheLineWhole) {
  std::string longKey(300, 'k');
  window_.texts[IDC_KEY_ACTION] = "自定义:"_gbk;
  window_.texts[IDC_KEY_CHAR] = longKey;
  InsertKeyLine(window_);
  window_.texts[IDC_TARGET_X] = "";
  window_.texts[IDC_TARGET_Y] = "12 34";
  InsertMoveLine(window_);
  EXPECT_EQ(window_.lines, (Lines{"自定义:"_gbk + longKey + ";", "移动鼠标:,12 34;"_gbk}));
}

// The other commands' group: a text as escaped "输入文字" lines (split when
// long, after the selection, the last selected), the colour wait with or
// without its time limit, the wheel; empty fields and characters GBK has
// not are refused with a notice, and nothing goes in.
TEST_F(ScriptEditorTest, TextColourAndWheelLines) {
  struct Case {
    int control;
    std::string text;
    bool notGbk;
    std::function<void(MainWindow&)> command;
    Lines lines;
    std::string refusal;
  } cases[] = {
      {IDC_TYPE_TEXT,
       "你好 1.5;"_gbk,
       false,
       InsertTypeTextLines,
       {"输入文字:你好\\x201\\x2E5\\x3B;"_gbk},
       ""},
      {IDC_TYPE_TEXT,
       std::string(60, 'z'),
       false,
       InsertTypeTextLines,
       {"输入文字:"_gbk + std::string(53, 'z') + ";", "输入文字:zzzzzzz;"_gbk},
       ""},
      {IDC_TYPE_TEXT, "", false, InsertTypeTextLines, {}, "请输入要输入的文字"_gbk},
      {IDC_TYPE_TEXT,
       "?",
       true,
       InsertTypeTextLines,
       {},
       "文字中有本程序无法保存的字符，请换用其他字符"_gbk},
      {IDC_COLOUR_LIMIT, "", false, InsertColourWaitLine, {"等待颜色:0,0,00FF00;"_gbk}, ""},
      {IDC_COLOUR_LIMIT, "800", false, InsertColourWaitLine, {"等待颜色:0,0,00FF00,800;"_gbk}, ""},
      {IDC_COLOUR_VALUE, "", false, InsertColourWaitLine, {}, "请输入要等待的颜色"_gbk},
      {IDC_WHEEL_NOTCHES, "-3", false, InsertWheelLine, {"滚动鼠标:-3;"_gbk}, ""},
      {IDC_WHEEL_NOTCHES, "", false, InsertWheelLine, {}, "请输入要滚动的格数"_gbk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    window_.lines = {"a", "b"};
    window_.selection = 0;
    window_.messages.clear();
    window_.texts[IDC_COLOUR_VALUE] = "00FF00";
    window_.texts[c.control] = c.text;
    window_.notGbk.clear();
    if (c.notGbk) window_.notGbk.insert(c.control);
    c.command(window_);
    Lines expected = {"a"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    expected.push_back("b");
    EXPECT_EQ(window_.lines, expected);
    EXPECT_EQ(window_.selection, static_cast<int>(c.lines.empty() ? 0 : c.lines.size()));
    if (c.refusal.empty()) {
      EXPECT_TRUE(window_.messages.empty());
    } else {
      ASSERT_EQ(window_.messages.size(), 1u);
      EXPECT_EQ(window_.messages[0].text, c.refusal);
    }
  }
}

}  // namespace
}  // namespace kestro
