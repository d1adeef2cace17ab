#include "runner/script_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "resource_ids.h"
#include "testing/fake_input.h"
#include "testing/fake_main_window.h"
#include "testing/gbk_literal.h"

namespace kestro {
namespace {

using Calls = std::vector<std::string>;

// Runs every started runner in place, at once, in virtual time.
class ScriptRunnerTest : public ::testing::Test {
 protected:
  ScriptRunnerTest()
      : runner_(window_, input_, input_, [this](std::function<void()> body) {
          ++launches_;
          if (!launchSucceeds_) return false;
          if (deferLaunch_) {
            deferred_ = std::move(body);
            return true;
          }
          body();
          return true;
        }) {}

  void SetScript(std::string repeat, bool loop, std::vector<std::string> lines) {
    window_.texts[IDC_REPEAT_COUNT] = std::move(repeat);
    window_.checks[IDC_LOOP] = loop;
    window_.lines = std::move(lines);
  }

  // Stops the run once `count` calls have been recorded.
  void StopAfterCalls(std::size_t count) {
    input_.onCall = [this, count](const std::string&) {
      if (input_.calls.size() == count) runner_.RequestStop();
    };
  }

  FakeMainWindow window_;
  FakeInput input_;
  ScriptRunner runner_;
  int launches_ = 0;
  bool launchSucceeds_ = true;
  bool deferLaunch_ = false;
  std::function<void()> deferred_;
};

TEST_F(ScriptRunnerTest, ThreePassesOfTwoLines) {
  SetScript("3", false, {"单击鼠标:左键;"_gbk, "等待时间:50;"_gbk});
  runner_.StartRun();

  Calls pass = {"wait 10", "wait 100", "mouse 6", "wait 100", "wait 10", "wait 51"};
  Calls expected = {"run starting", "wait 1000"};
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), pass.begin(), pass.end());
  expected.push_back("run finished");
  EXPECT_EQ(input_.calls, expected);
  EXPECT_EQ(input_.virtualTimeMs, 1000u + 3 * (10 + 200 + 10 + 51));
  EXPECT_EQ(window_.statusLog,
            (Calls{"0:执行脚本..."_gbk, "1:", "1:执行脚本1次"_gbk, "1:执行脚本2次"_gbk,
                   "1:执行脚本3次"_gbk, "0:执行脚本结束!"_gbk}));
  EXPECT_FALSE(runner_.IsRunning());
}

TEST_F(ScriptRunnerTest, RepeatCountTexts) {
  struct Case {
    std::string text;
    int passes;
  } cases[] = {{"0", 0}, {"", 0}, {"abc", 0}, {" 2", 2}, {"+2", 2}, {"2x", 2}, {"\t1", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    input_.calls.clear();
    window_.statusLog.clear();
    SetScript(c.text, false, {});
    runner_.StartRun();
    int passes = 0;
    for (const auto& s : window_.statusLog) passes += s.rfind("1:执行脚本"_gbk, 0) == 0;
    EXPECT_EQ(passes, c.passes);
    // No pass: no one-second wait either.
    bool waited =
        std::find(input_.calls.begin(), input_.calls.end(), "wait 1000") != input_.calls.end();
    EXPECT_EQ(waited, c.passes > 0);
    EXPECT_EQ(window_.statusLog.back(), "0:执行脚本结束!"_gbk);
  }
}

TEST_F(ScriptRunnerTest, ZeroPassesShowStartAndEndOnly) {
  SetScript("0", false, {"单击鼠标:左键;"_gbk});
  runner_.StartRun();
  EXPECT_EQ(window_.statusLog, (Calls{"0:执行脚本..."_gbk, "1:", "0:执行脚本结束!"_gbk}));
  EXPECT_EQ(window_.status[1], "");
}

TEST_F(ScriptRunnerTest, EmptyListStillWaitsOnceAndCountsPasses) {
  SetScript("2", false, {});
  runner_.StartRun();
  EXPECT_EQ(input_.calls, (Calls{"run starting", "wait 1000", "run finished"}));
  EXPECT_EQ(window_.status[1], "执行脚本2次"_gbk);
}

TEST_F(ScriptRunnerTest, LoopAndNegativeCountsRunUntilStopped) {
  for (auto [repeat, loop] : {std::pair{"-2", false}, {"0", true}, {"5", true}, {"abc", true}}) {
    SCOPED_TRACE(repeat);
    input_.calls.clear();
    SetScript(repeat, loop, {"等待时间:0;"_gbk});
    // 2 calls before the first pass, then 2 per pass: stop inside pass 7.
    StopAfterCalls(2 + 2 * 6 + 1);
    runner_.StartRun();
    EXPECT_EQ(window_.status[1], "执行脚本7次"_gbk);
    EXPECT_FALSE(runner_.IsRunning());
  }
}

TEST_F(ScriptRunnerTest, StopDuringTheFirstSecondLetsTheFirstPassFinish) {
  SetScript("5", false, {"单击键盘:a;"_gbk, "单击键盘:b;"_gbk});
  input_.onCall = [this](const std::string& call) {
    if (call == "wait 1000") runner_.RequestStop();
  };
  runner_.StartRun();
  EXPECT_EQ(input_.calls, (Calls{"run starting", "wait 1000", "wait 10", "key 65 down", "key 65 up",
                                 "wait 10", "key 66 down", "key 66 up", "run finished"}));
  EXPECT_EQ(window_.status[1], "执行脚本1次"_gbk);
  EXPECT_EQ(window_.status[0], "执行脚本结束!"_gbk);
}

TEST_F(ScriptRunnerTest, StopMidPassRunsTheRemainingLines) {
  SetScript("5", false, {"单击键盘:a;"_gbk, "单击键盘:b;"_gbk, "单击键盘:c;"_gbk});
  input_.onCall = [this](const std::string& call) {
    if (call == "key 65 up" && window_.status[1] == "执行脚本1次"_gbk) runner_.RequestStop();
  };
  runner_.StartRun();
  EXPECT_EQ(window_.status[1], "执行脚本2次"_gbk);
  EXPECT_EQ(input_.calls.back(), "run finished");
  EXPECT_EQ(input_.calls[input_.calls.size() - 2], "key 67 up");
}

TEST_F(ScriptRunnerTest, TheRunPlaysTheListAsItWasAtTheStart) {
  SetScript("2", false, {"单击键盘:a;"_gbk, "单击键盘:b;"_gbk});
  window_.checks[IDC_LOOP] = false;
  input_.onCall = [this](const std::string& call) {
    if (call != "key 65 down") return;
    window_.lines.clear();
    window_.texts[IDC_REPEAT_COUNT] = "0";
    window_.checks[IDC_LOOP] = true;
  };
  runner_.StartRun();
  int taps = 0;
  for (const auto& c : input_.calls) taps += c.find(" down") != std::string::npos;
  EXPECT_EQ(taps, 4);
  EXPECT_EQ(window_.status[1], "执行脚本2次"_gbk);
}

// The copy is the list as it was when the run command came, not when the
// thread got round to it.
TEST_F(ScriptRunnerTest, TheCopyIsTakenWithTheRunCommand) {
  deferLaunch_ = true;
  SetScript("1", false, {"单击键盘:a;"_gbk});
  runner_.StartRun();
  SetScript("0", true, {"单击键盘:b;"_gbk, "单击键盘:c;"_gbk});
  deferred_();
  EXPECT_EQ(input_.calls, (Calls{"run starting", "wait 1000", "wait 10", "key 65 down", "key 65 up",
                                 "run finished"}));
}

// A colour wait in virtual time: the screen turns red (0000FF) at the
// case's moment after the run command, or never; a stop may come.
TEST_F(ScriptRunnerTest, ColourWaits) {
  constexpr std::int64_t kNever = -1;
  struct Case {
    const char* what;
    std::int64_t redFromMs;
    std::int64_t stopAtMs;
    std::int64_t keyAtMs;  // the key after the wait; -1: not played
    const char* status0;
    const char* status1;
  } cases[] = {
      {"there at once: on at once", 0, kNever, 1020, "执行脚本结束!", "执行脚本1次"},
      // Seen at the first look from 1300 ms on, then the line's 10 ms.
      {"comes later: on as soon as seen", 1304, kNever, 1320, "执行脚本结束!", "执行脚本1次"},
      {"never comes: the run ends at the limit", kNever, kNever, -1, "等待颜色超时，已停止", ""},
      {"a stop: the run ends at once", kNever, 1205, -1, "执行脚本结束!", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeMainWindow window;
    FakeInput input;
    ScriptRunner runner(window, input, input, [](std::function<void()> body) {
      body();
      return true;
    });
    window.texts[IDC_REPEAT_COUNT] = "1";
    window.lines = {"等待颜色:5,6,0000FF,500;"_gbk, "单击键盘:a;"_gbk};
    input.screen = [&](int x, int y) -> std::uint32_t {
      EXPECT_EQ(x * 10 + y, 56);
      bool red = c.redFromMs != kNever && input.virtualTimeUs >= c.redFromMs * 1000;
      return red ? 0x0000FF : 0xFFFFFF;
    };
    std::int64_t keyAtUs = -1000;
    input.onCall = [&](const std::string& call) {
      if (c.stopAtMs != kNever && input.virtualTimeUs >= c.stopAtMs * 1000) runner.RequestStop();
      if (call == "key 65 down") keyAtUs = input.virtualTimeUs;
    };
    runner.StartRun();
    EXPECT_EQ(keyAtUs / 1000, c.keyAtMs);
    EXPECT_EQ(window.status[0], GbkFromUtf8(c.status0));
    EXPECT_EQ(window.status[1], GbkFromUtf8(c.status1));
    EXPECT_FALSE(runner.IsRunning());
    // The limit (500 ms after the wait began at 1010) or the stop (within
    // one look of 10 ms) ends it.
    if (c.keyAtMs < 0) {
      EXPECT_LE(input.virtualTimeUs, (c.stopAtMs == kNever ? 1510 : c.stopAtMs + 10) * 1000);
    }
  }
}

// A script given whole (from the command line) plays without the list, the
// count or the loop box, and its end is told: every pass, or a stop.
TEST_F(ScriptRunnerTest, AGivenScriptPlaysAndTellsHowItEnded) {
  SetScript("5", true, {"单击键盘:z;"_gbk});
  std::vector<RunEnd> ends;
  auto ended = [&](RunEnd end) { ends.push_back(end); };
  EXPECT_TRUE(runner_.StartRun({"2", false, {"单击键盘:a;"_gbk}}, ended));
  EXPECT_EQ(std::count(input_.calls.begin(), input_.calls.end(), "key 65 down"), 2);
  EXPECT_EQ(std::count(input_.calls.begin(), input_.calls.end(), "key 90 down"), 0);
  EXPECT_EQ(window_.lines, std::vector<std::string>{"单击键盘:z;"_gbk});
  input_.calls.clear();
  StopAfterCalls(6);
  EXPECT_TRUE(runner_.StartRun({"1", true, {"单击键盘:a;"_gbk}}, ended));
  EXPECT_EQ(ends, (std::vector<RunEnd>{RunEnd::Completed, RunEnd::Stopped}));

  deferLaunch_ = true;
  EXPECT_TRUE(runner_.StartRun({"1", false, {}}, ended));
  EXPECT_FALSE(runner_.StartRun({"1", false, {}}, ended));  // one run at a time
}

TEST_F(ScriptRunnerTest, LongListsAndLongLinesAreCopiedWhole) {
  std::vector<std::string> lines(1500, "等待时间:0;"_gbk);
  lines.push_back("等待时间:"_gbk + std::string(100, '0') + "7;");  // more than 31 digits
  lines.push_back("等待时间:"_gbk + std::string(60, ' ') + "7;");   // nothing after the word counts
  SetScript("1", false, lines);
  runner_.StartRun();
  std::size_t waits = 0;
  for (const auto& c : input_.calls) waits += c == "wait 1";
  EXPECT_EQ(waits, 1500u);
  ASSERT_EQ(window_.messages.size(), 2u);
  EXPECT_EQ(window_.messages[0].caption, "等待时间脚本错误!"_gbk);
  EXPECT_EQ(window_.messages[0].text, lines[1500]);
  EXPECT_EQ(window_.messages[1].text, "等待时间:"_gbk);
}

TEST_F(ScriptRunnerTest, ErrorsDoNotEndTheRun) {
  SetScript("1", false, {"单击鼠标:中键;"_gbk, "abc", "单击键盘:a;"_gbk});
  runner_.StartRun();
  EXPECT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(input_.calls, (Calls{"run starting", "wait 1000", "wait 10", "wait 10", "wait 10",
                                 "key 65 down", "key 65 up", "run finished"}));
}

TEST_F(ScriptRunnerTest, StartWhileRunningOrFinishingDoesNothing) {
  deferLaunch_ = true;
  SetScript("1", false, {"单击键盘:a;"_gbk});
  runner_.StartRun();
  EXPECT_TRUE(runner_.IsRunning());
  runner_.StartRun();
  EXPECT_EQ(launches_, 1);

  // Stopped but not yet finished: still no second runner.
  runner_.RequestStop();
  EXPECT_FALSE(runner_.IsRunning());
  runner_.StartRun();
  EXPECT_EQ(launches_, 1);

  deferred_();
  runner_.StartRun();
  EXPECT_EQ(launches_, 2);
}

TEST_F(ScriptRunnerTest, StopWhileIdleChangesNothing) {
  runner_.RequestStop();
  EXPECT_FALSE(runner_.IsRunning());
  EXPECT_TRUE(window_.statusLog.empty());
  EXPECT_EQ(launches_, 0);
}

TEST_F(ScriptRunnerTest, AFailedThreadStartLeavesTheRunnerIdle) {
  launchSucceeds_ = false;
  SetScript("1", false, {});
  runner_.StartRun();
  EXPECT_FALSE(runner_.IsRunning());
  launchSucceeds_ = true;
  runner_.StartRun();
  EXPECT_EQ(launches_, 2);
  EXPECT_EQ(window_.status[0], "执行脚本结束!"_gbk);
}

TEST(ScriptRunnerThreadTest, ARealThreadRunsAndClearsTheFlag) {
  FakeMainWindow window;
  FakeInput input;
  window.texts[IDC_REPEAT_COUNT] = "1";
  ScriptRunner runner(window, input, input);
  runner.StartRun();
  // A runner that never ends fails here instead of hanging the test run.
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (runner.HasActiveRunner() && std::chrono::steady_clock::now() < limit) {
    std::this_thread::yield();
  }
  ASSERT_FALSE(runner.HasActiveRunner()) << "the runner thread did not end";
  EXPECT_FALSE(runner.IsRunning());
  EXPECT_EQ(input.calls, (Calls{"run starting", "wait 1000", "run finished"}));
}

}  // namespace
}  // namespace kestro
