#include "recorder/recording.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/fake_input.h"
#include "testing/fake_input_hooks.h"
#include "testing/fake_main_window.h"
#include "testing/gbk_literal.h"

namespace kestro {
namespace {

using Log = std::vector<std::string>;
using enum HookEventKind;

HookEvent Event(double ms, HookEventKind kind, int x, int y, int key = 0) {
  return {kind, static_cast<std::int64_t>(ms * 1000), x, y, static_cast<std::uint8_t>(key)};
}

class RecordingTest : public ::testing::Test {
 protected:
  RecordingTest()
      : recording_(window_, hooks_, input_,
                   {[this] { return runActive_; }, [this] { return hotkeys_; },
                    [this](std::string_view text) { menuTexts_.emplace_back(text); },
                    [this](unsigned recording) { lostReports_.push_back(recording); }}) {}

  FakeMainWindow window_;
  FakeInputHooks hooks_;
  FakeInput input_;
  bool runActive_ = false;
  std::vector<HotkeyCombination> hotkeys_ = {{2, 'R'}};
  Log menuTexts_;
  std::vector<unsigned> lostReports_;
  Recording recording_;
};

TEST_F(RecordingTest, StartShowsRecordingAndStopFillsTheListAfterTheSelection) {
  window_.lines = {"a", "b", "c"};
  window_.selection = 0;
  window_.status[1] = "执行脚本3次"_gbk;
  recording_.Start();
  EXPECT_TRUE(recording_.IsActive());
  EXPECT_TRUE(hooks_.installed);
  EXPECT_EQ(window_.statusLog, (Log{"0:正在录制..."_gbk, "1:"}));
  EXPECT_EQ(menuTexts_, Log{"停止录制"_gbk});

  hooks_.capture.events = {Event(0, LeftDown, 3, 4), Event(20, LeftUp, 3, 4),
                           Event(500, KeyDown, 0, 0, 'K'), Event(520, KeyUp, 0, 0, 'K')};
  window_.statusLog.clear();
  recording_.Stop();
  EXPECT_FALSE(recording_.IsActive());
  EXPECT_FALSE(hooks_.installed);
  EXPECT_EQ(window_.lines, (Log{"a", "移动鼠标:3,4;"_gbk, "单击鼠标:左键;"_gbk, "等待时间:379;"_gbk,
                                "单击键盘:k;"_gbk, "b", "c"}));
  EXPECT_EQ(window_.selection, 4);
  EXPECT_EQ(window_.statusLog, (Log{"0:录制结束!"_gbk, "1:录制4行"_gbk}));
  EXPECT_EQ(menuTexts_, (Log{"停止录制"_gbk, "录制"_gbk}));
  EXPECT_TRUE(window_.messages.empty());
}

TEST_F(RecordingTest, WithNothingSelectedTheLinesGoToTheEnd) {
  window_.lines = {"a"};
  recording_.Toggle();
  hooks_.capture.events = {Event(0, KeyDown, 0, 0, 13), Event(0, KeyUp, 0, 0, 13)};
  recording_.Toggle();
  EXPECT_EQ(window_.lines, (Log{"a", "单击键盘:(回车键);"_gbk}));
  EXPECT_EQ(window_.selection, 1);
  EXPECT_EQ(hooks_.calls, (Log{"start", "stop"}));
}

TEST_F(RecordingTest, SkippedKeysAreCountedInTheSummary) {
  recording_.Start();
  hooks_.capture.events = {Event(0, KeyDown, 0, 0, 0xBA), Event(0, KeyUp, 0, 0, 0xBA),
                           Event(0, KeyDown, 0, 0, 36),   Event(0, KeyUp, 0, 0, 36),
                           Event(0, KeyDown, 0, 0, 'A'),  Event(0, KeyUp, 0, 0, 'A')};
  recording_.Stop();
  EXPECT_EQ(window_.status[1], "录制1行，跳过2键"_gbk);
  EXPECT_EQ(RecordingSummary(0, 0), "录制0行"_gbk);
  EXPECT_EQ(RecordingSummary(1234, 56), "录制1234行，跳过56键"_gbk);
}

// The hotkeys as registered when the recording ends decide what is left
// out, and the characters come from the input a run plays through.
TEST_F(RecordingTest, StopUsesTheHotkeysAndTheLayoutOfTheProgram) {
  input_.layout['q'] = 'A';
  input_.layout['a'] = 'Q';
  hotkeys_ = {{2, 'R'}, {0, 'W'}};
  recording_.Start();
  hooks_.capture.events = {Event(0, KeyDown, 0, 0, 'A'), Event(0, KeyUp, 0, 0, 'A'),
                           Event(0, KeyDown, 0, 0, 'W'), Event(0, KeyUp, 0, 0, 'W'),
                           Event(0, KeyDown, 0, 0, 162), Event(0, KeyDown, 0, 0, 'R')};
  recording_.Stop();
  EXPECT_EQ(window_.lines, Log{"单击键盘:q;"_gbk});
}

TEST_F(RecordingTest, NoRecordingWhileARunIsActive) {
  runActive_ = true;
  recording_.Start();
  recording_.Toggle();
  EXPECT_FALSE(recording_.IsActive());
  EXPECT_TRUE(hooks_.calls.empty());
  EXPECT_TRUE(window_.statusLog.empty());
  EXPECT_TRUE(menuTexts_.empty());
}

TEST_F(RecordingTest, StartWhileRecordingAndStopWhileIdleChangeNothing) {
  recording_.Stop();
  EXPECT_TRUE(hooks_.calls.empty());
  recording_.Start();
  recording_.Start();
  EXPECT_EQ(hooks_.calls, Log{"start"});
  EXPECT_EQ(menuTexts_, Log{"停止录制"_gbk});
  recording_.Stop();
  recording_.Stop();
  EXPECT_EQ(hooks_.calls, (Log{"start", "stop"}));
  EXPECT_EQ(window_.status[1], "录制0行"_gbk);
}

TEST_F(RecordingTest, HooksTheSystemRefusesAreReported) {
  hooks_.refuse = true;
  recording_.Start();
  EXPECT_FALSE(recording_.IsActive());
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0],
            (ShownMessage{BoxOwner::MainWindow, "无法录制：系统不让本程序监视鼠标和键盘"_gbk,
                          "提示"_gbk, kBoxOk}));
  EXPECT_TRUE(window_.statusLog.empty());
  EXPECT_TRUE(menuTexts_.empty());
  // Nothing to stop afterwards.
  recording_.Toggle();
  EXPECT_EQ(hooks_.calls, (Log{"start", "start"}));
}

// Hooks the system took away end their recording with what came until
// then, and say so; the word of an earlier recording's loss changes nothing.
TEST_F(RecordingTest, LostHooksInterruptTheirRecordingOnly) {
  recording_.Start();
  ASSERT_TRUE(hooks_.lost);
  hooks_.lost();  // its word comes only after the user stopped it
  recording_.Stop();
  recording_.Start();
  recording_.Interrupt(lostReports_.at(0));
  EXPECT_TRUE(recording_.IsActive());
  hooks_.capture.events = {Event(0, KeyDown, 0, 0, 'K'), Event(20, KeyUp, 0, 0, 'K')};
  hooks_.lost();
  ASSERT_EQ(lostReports_.size(), 2u);
  recording_.Interrupt(lostReports_[1]);
  EXPECT_FALSE(recording_.IsActive());
  EXPECT_EQ(window_.lines, Log{"单击键盘:k;"_gbk});
  EXPECT_EQ(window_.status[0], "录制中断!"_gbk);
  EXPECT_EQ(window_.status[1], "录制1行"_gbk);
  EXPECT_EQ(hooks_.calls, (Log{"start", "stop", "start", "stop"}));
  recording_.Interrupt(lostReports_[1]);
  EXPECT_EQ(hooks_.calls.size(), 4u);
}

TEST_F(RecordingTest, TheDoubleClickTimeComesFromTheSystem) {
  hooks_.doubleClickTimeMs = 150;
  recording_.Start();
  hooks_.capture.events = {Event(0, LeftDown, 1, 1), Event(10, LeftUp, 1, 1),
                           Event(200, LeftDown, 1, 1), Event(210, LeftUp, 1, 1)};
  recording_.Stop();
  EXPECT_EQ(window_.lines, (Log{"移动鼠标:1,1;"_gbk, "单击鼠标:左键;"_gbk, "单击鼠标:左键;"_gbk}));
}

}  // namespace
}  // namespace kestro
