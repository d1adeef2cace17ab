#include "runner/script_runner.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runner/line_executor.h"
#include "script/line_costs.h"
#include "text/decimal.h"
#include "text/system_texts.h"

namespace kestro {
ScriptRunner::ScriptRunner(MainWindow& window, Input& input, Clock& clock, ThreadLauncher launch)
    : window_(window), input_(input), clock_(clock), launch_(std::move(launch)) {}

void ScriptRunner::StartRun() {
  if (runningFlag_.load() != 0 || runnerActive_.load()) return;
  // The run works on its own copy, taken here on the window's thread where
  // no edit can come between two lines of it: edits to the list, the count
  // or the loop box take effect with the next run.
  StartRun(window_.CopyScript(), {});
}

bool ScriptRunner::StartRun(ScriptSnapshot script, RunEnded ended) {
  if (runningFlag_.load() != 0 || runnerActive_.load()) return false;
  runningFlag_ = 1;
  runnerActive_ = true;
  std::int64_t start = clock_.NowMicroseconds();
  auto copy = std::make_shared<ScriptSnapshot>(std::move(script));
  if (launch_([this, start, copy, ended = std::move(ended)] {
        RunEnd end = RunScript(*copy, start);
        if (ended) ended(end);
      })) {
    return true;
  }
  // No thread, no run: leaving the flag set would refuse every later start.
  runnerActive_ = false;
  runningFlag_ = 0;
  return false;
}

void ScriptRunner::RequestStop() { runningFlag_ = 0; }

RunEnd ScriptRunner::RunScript(const ScriptSnapshot& script, std::int64_t startMicroseconds) {
  window_.SetStatusText(0, text::kRunningStatus);
  window_.SetStatusText(1, "");
  int repeatCount = DecimalReadingInt(script.repeatCount);
  bool loop = script.loop;

  // Inside the first second: what the first line asks the system first
  // (a display connection, the keyboard layout) costs nothing later.
  input_.RunStarting();
  Pacer pacer(clock_, startMicroseconds);
  // The flag is read here, before each pass: a stop request lets the pass
  // in progress finish, and a negative count runs until stopped. Only a
  // colour wait looks at it inside a pass, and ends the run there rather
  // than play the rest of the pass blind.
  auto stopRequested = [this] { return runningFlag_.load() == 0; };
  LineOutcome outcome = LineOutcome::Next;
  for (long long pass = 0; (repeatCount != 0 || loop) && runningFlag_.load() != 0;) {
    if (pass == 0) pacer.Wait(kFirstPassDelayMs);
    for (const std::string& line : script.lines) {
      pacer.Wait(kLineDelayMs);
      outcome = ExecuteLine(line, input_, window_, pacer, stopRequested);
      if (outcome != LineOutcome::Next) break;
    }
    if (outcome != LineOutcome::Next) break;
    if (repeatCount != INT_MIN) --repeatCount;
    ++pass;
    window_.SetStatusText(1, std::string(text::kPassCountPrefix) + std::to_string(pass) +
                                 std::string(text::kPassCountSuffix));
  }
  input_.RunFinished();

  window_.SetStatusText(0, outcome == LineOutcome::ColourTimedOut ? text::kColourWaitTimedOut
                                                                  : text::kRunFinishedStatus);
  runningFlag_ = 0;
  runnerActive_ = false;
  if (outcome == LineOutcome::ColourTimedOut) return RunEnd::ColourTimedOut;
  // Every pass played: the count used up, not a loop, no line cut it short.
  return outcome == LineOutcome::Next && repeatCount == 0 && !loop ? RunEnd::Completed
                                                                   : RunEnd::Stopped;
}

}  // namespace kestro
