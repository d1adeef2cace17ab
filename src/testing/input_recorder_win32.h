// The injected input that any other program on the desktop sees, as a list
// of names. Windows only; for tests.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "testing/input_timeline_win32.h"

namespace kestro {

// Injected events as "lbutton down", "key 65 up", "move" and so on. Keys
// are swallowed unless asked otherwise, so a test's keystrokes reach no
// window (but then no hotkey either).
class InputRecorder {
 public:
  explicit InputRecorder(bool swallowKeys = true)
      : timeline_(swallowKeys ? Swallow::Keys : Swallow::Nothing) {}

  // Waits until `count` events arrived (or the limit passed), then returns
  // them and starts afresh.
  std::vector<std::string> Take(std::size_t count, int limitMs = 2000) {
    for (int i = 0; i < limitMs / 10 && Collect() < count; ++i) Sleep(10);
    Sleep(50);  // let stray extra events show up, so the count is checked too
    Collect();
    return std::exchange(events_, {});
  }

 private:
  // Moves the injected events seen so far into events_; their count.
  std::size_t Collect() {
    for (TimedInput& event : timeline_.Take()) {
      if (event.injected) events_.push_back(std::move(event.what));
    }
    return events_.size();
  }

  InputTimeline timeline_;
  std::vector<std::string> events_;
};

}  // namespace kestro
