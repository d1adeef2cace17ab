#include "runner/pacer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "runner/line_executor.h"
#include "runner/script_runner.h"
#include "testing/fake_input.h"
#include "testing/fake_main_window.h"
#include "testing/gbk_literal.h"
#include "testing/hex.h"

namespace kestro {
namespace {

using Calls = std::vector<std::string>;

// What happens between two 100 ms waits decides how long the second one is.
TEST(PacerTest, TimeBetweenWaitsIsAbsorbedUnlessTheUserHeldTheRun) {
  struct Case {
    const char* what;
    std::int64_t betweenUs;
    bool userHeld;
    const char* secondWait;
  } cases[] = {
      {"nothing between", 0, false, "wait 100"},
      {"a slow input call", 3500, false, "wait 96.5"},
      {"a stall as long as the wait", 100000, false, "wait 0"},
      {"a stall longer than the wait: no catching up", 250000, false, "wait 100"},
      {"a message box, however short", 3500, true, "wait 100"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeInput input;
    Pacer pacer(input);
    pacer.Wait(100);
    input.virtualTimeUs += c.betweenUs;
    if (c.userHeld) pacer.Resync();
    pacer.Wait(100);
    EXPECT_EQ(input.calls, (Calls{"wait 100", c.secondWait}));
  }
}

// A wait that the system ends late is not made up by the next one, so no
// event comes earlier after the one before than the script says.
TEST(PacerTest, AWaitThatEndsLateIsNotCaughtUp) {
  FakeInput input;
  input.waitLateUs = 250;
  Pacer pacer(input);
  for (int i = 0; i < 3; ++i) pacer.Wait(100);
  EXPECT_EQ(input.calls, (Calls{"wait 100.25", "wait 100.25", "wait 100.25"}));
}

// Every box a line shows hands the timing back to the user.
TEST(PacerTest, ScriptErrorsAndNoticesResync) {
  for (std::string line : {"等待时间:x;"_gbk, "组合按键:a;"_gbk, "单击鼠标:中键;"_gbk}) {
    FakeInput input;
    FakeMainWindow window;
    window.onMessage = [&] { input.virtualTimeUs += 4000; };
    Pacer pacer(input);
    ExecuteLine(line, input, window, pacer);
    pacer.Wait(10);
    EXPECT_EQ(input.calls, Calls{"wait 10"}) << Hex(line);
  }
}

// Input calls that take time do not lengthen a run: it lasts exactly what
// its lines say, counted from the run command.
TEST(PacerTest, ARunLastsItsWrittenTimeWhateverTheCallsCost) {
  FakeMainWindow window;
  window.texts[IDC_REPEAT_COUNT] = "3";
  window.lines = {"单击鼠标:左键;"_gbk, "单击键盘:A;"_gbk, "等待时间:50;"_gbk, "移动鼠标:1,2;"_gbk};
  FakeInput input;
  input.eventCostUs = 700;
  ScriptRunner runner(window, input, [&](std::function<void()> body) {
    input.virtualTimeUs += 5000;  // the thread takes 5 ms to start
    body();
    return true;
  });
  runner.StartRun();
  // 1000, then per pass 10 + 200 + 10 + 10 + 51 + 10; the last pass's move
  // comes after its last wait and adds its own cost.
  EXPECT_EQ(input.virtualTimeUs, (1000 + 3 * 291) * 1000 + 700);
}

}  // namespace
}  // namespace kestro
