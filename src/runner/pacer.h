// The clock of one run. A wait never ends sooner than its length after the
// previous input call returned, so no gap between two events is shorter than
// the lines between them say, however long the system took to take the
// earlier one. What the runner itself spends between waits (status texts,
// the end of a pass) is absorbed instead of added, so a long loop keeps the
// length its author wrote.
#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace kestro {

class Pacer {
 public:
  // Counts the first wait from `startMicroseconds` (the run command, say).
  Pacer(Clock& clock, std::int64_t startMicroseconds)
      : clock_(clock), deadline_(startMicroseconds), inputReturned_(startMicroseconds) {}
  explicit Pacer(Clock& clock) : Pacer(clock, clock.NowMicroseconds()) {}

  // Waits until `milliseconds` after the later of the previous deadline and
  // the return of the last input call.
  void Wait(std::uint32_t milliseconds);
  // An input call has just returned: the next wait counts from here at the
  // earliest.
  void InputReturned() { inputReturned_ = clock_.NowMicroseconds(); }
  // The user held the run (a message box) or a line waited for the screen:
  // the next wait counts from now.
  void Resync() { deadline_ = inputReturned_ = clock_.NowMicroseconds(); }
  Clock& clock() { return clock_; }

 private:
  Clock& clock_;
  std::int64_t deadline_;
  std::int64_t inputReturned_;
};

}  // namespace kestro
