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
TEST(PacerTest, TimeBetweenWaitsIsAbsorbedUnlessAnEventOrTheUserTookIt) {
  struct Case {
    const char* what;
    std::int64_t betweenUs;
    enum { Runner, InputCall, UserBox } by;
    const char* secondWait;
  } cases[] = {
      {"nothing between", 0, Case::Runner, "wait 100"},
      {"the runner's own work", 3500, Case::Runner, "wait 96.5"},
      {"a runner stall as long as the wait", 100000, Case::Runner, "wait 0"},
      {"a slow input call: counted from its return", 3500, Case::InputCall, "wait 100"},
      {"an input call stalled by another program", 250000, Case::InputCall, "wait 100"},
      {"a message box, however short", 3500, Case::UserBox, "wait 100"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeInput input;
    Pacer pacer(input);
    pacer.Wait(100);
    input.virtualTimeUs += c.betweenUs;
    if (c.by == Case::InputCall) pacer.InputReturned();
    if (c.by == Case::UserBox) pacer.Resync();
    pacer.Wait(100);
    EXPECT_EQ(input.calls, (Calls{"wait 100", c.secondWait}));
  }
}

// Every box a line shows hands the timing back to the user.
TEST(PacerTest, ScriptErrorsAndNoticesResync) {
  for (std::string line :
       {"等待时间:x;"_gbk, "组合按键:a;"_gbk, "单击鼠标:中键;"_gbk, "单击键盘:;"_gbk}) {
    FakeInput input;
    FakeMainWindow window;
    window.onMessage = [&] { input.virtualTimeUs += 4000; };
    Pacer pacer(input);
    ExecuteLine(line, input, window, pacer);
    pacer.Wait(10);
    EXPECT_EQ(input.calls, Calls{"wait 10"}) << Hex(line);
  }
}

struct TimedCall {
  std::string call;
  std::int64_t startUs;
  std::int64_t returnUs;
};

// Plays three passes of a script of every kind of event, with the costs of
// the case, from a run command at time 0: each input call as it began and
// returned.
std::vector<TimedCall> PlayTimed(std::int64_t eventCostUs, std::int64_t waitLateUs,
                                 std::int64_t statusCostUs, std::int64_t warmUpCostUs) {
  FakeMainWindow window;
  window.texts[IDC_REPEAT_COUNT] = "3";
  window.lines = {"单击键盘:a;"_gbk,  "单击鼠标:左键;"_gbk, "单击键盘:A;"_gbk,
                  "等待时间:50;"_gbk, "移动鼠标:1,2;"_gbk,  "按住键盘:(F9);"_gbk};
  FakeInput input;
  input.eventCostUs = eventCostUs;
  input.waitLateUs = waitLateUs;
  window.onStatus = [&] { input.virtualTimeUs += statusCostUs; };
  std::vector<TimedCall> timed;
  input.onCall = [&](const std::string& call) {
    if (call == "run starting") input.virtualTimeUs += warmUpCostUs;
    if (call.rfind("wait", 0) == 0 || call.rfind("run ", 0) == 0) return;
    timed.push_back({call, input.virtualTimeUs, input.virtualTimeUs + eventCostUs});
  };
  ScriptRunner runner(window, input, input, [&](std::function<void()> body) {
    input.virtualTimeUs += 5000;  // the thread takes 5 ms to start
    body();
    return true;
  });
  runner.StartRun();
  return timed;
}

// Between two events there is at least what the lines between them say,
// counted from the return of the earlier one: a slow call delays the next
// event by exactly its own overrun, a wait that ends late is not made up,
// and neither the runner's own work (status texts, starting the thread)
// nor the first calls made before the first wait move any event.
TEST(PacerTest, NoGapIsShorterThanWrittenAndOnlyInputCallsAddToIt) {
  const std::vector<TimedCall> written = PlayTimed(0, 0, 0, 0);
  ASSERT_EQ(written.front().startUs, 1010000);  // the first event: 1000 + 10 ms
  struct Case {
    const char* what;
    std::int64_t eventCostUs, waitLateUs, statusCostUs, warmUpCostUs;
  } cases[] = {
      {"input calls of 3.5 ms", 3500, 0, 0, 0},
      {"input calls stalled 150 ms by another program", 150000, 0, 0, 0},
      {"waits that end 0.3 ms late", 0, 300, 0, 0},
      {"status texts of 6 ms", 0, 0, 6000, 0},
      {"a warm-up of 30 ms before the first wait", 0, 0, 0, 30000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<TimedCall> played =
        PlayTimed(c.eventCostUs, c.waitLateUs, c.statusCostUs, c.warmUpCostUs);
    ASSERT_EQ(played.size(), written.size());
    EXPECT_EQ(played.front().startUs, written.front().startUs + c.waitLateUs);
    for (std::size_t i = 1; i < played.size(); ++i) {
      SCOPED_TRACE(played[i].call);
      std::int64_t writtenGap = written[i].startUs - written[i - 1].startUs;
      std::int64_t gap = played[i].startUs - played[i - 1].returnUs;
      EXPECT_GE(gap, writtenGap);
      // Nothing but the calls and the timer's lateness adds to a gap.
      if (c.waitLateUs == 0) {
        EXPECT_EQ(gap, writtenGap);
      }
    }
  }
}

}  // namespace
}  // namespace kestro
