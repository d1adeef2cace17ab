// The script runner: plays a private copy of the script list on a worker
// thread, a given number of passes or endlessly, and reports its progress in
// the status bar. StartRun and RequestStop govern the running flag.
#pragma once

#include <atomic>
#include <functional>

#include "platform/clock.h"
#include "platform/input.h"
#include "platform/main_window.h"
#include "platform/threads.h"

namespace kestro {

// Starts the body on a new thread that nobody joins; false when no thread
// could be started.
using ThreadLauncher = std::function<bool(std::function<void()> body)>;

// How a run ended: every pass played, or cut short by a stop request or a
// colour that did not come in time.
enum class RunEnd { Completed, Stopped, ColourTimedOut };
// Told on the runner thread once the run has ended and a new one may start.
using RunEnded = std::function<void(RunEnd)>;

class ScriptRunner {
 public:
  ScriptRunner(MainWindow& window, Input& input, Clock& clock, ThreadLauncher launch = StartThread);

  // Starts a run unless one is active or a stopped run is still finishing
  // its pass, so two runs never play input at the same time. Called on the
  // user-interface thread only.
  void StartRun();
  // A run of the given script, without the list, the count field or the
  // loop box (a script played from the command line). False when a run is
  // active or a stopped one still finishes, or no thread could be started.
  bool StartRun(ScriptSnapshot script, RunEnded ended);
  // Asks the run to end after the pass in progress; returns at once.
  void RequestStop();
  // The running flag: set from StartRun until the run ends or is stopped.
  bool IsRunning() const { return runningFlag_.load() != 0; }
  // True while a runner thread exists, also a stopped one still finishing.
  bool HasActiveRunner() const { return runnerActive_.load(); }

  // The runner thread's body, on the copy StartRun took; tests call it in
  // place. The one-second wait before the first pass counts from
  // `startMicroseconds` on the clock, so the time the thread takes
  // to start is part of it.
  RunEnd RunScript(const ScriptSnapshot& script, std::int64_t startMicroseconds);

 private:
  MainWindow& window_;
  Input& input_;
  Clock& clock_;
  ThreadLauncher launch_;
  std::atomic<int> runningFlag_{0};
  // True from StartRun until the runner thread has finished, so a start
  // request cannot overlap a stopped run that is still in its last pass.
  std::atomic<bool> runnerActive_{false};
};

}  // namespace kestro
