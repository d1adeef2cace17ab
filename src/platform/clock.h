// The clock seam: the one monotonic clock that runs wait by, recordings are
// stamped on and time limits are measured with, and precise waits on it.
// Tests use a virtual clock, so a run of many seconds takes microseconds.
#pragma once

#include <cstdint>

#include "platform/precise_wait.h"

namespace kestro {

class Clock {
 public:
  virtual ~Clock() = default;
  // Microseconds from an arbitrary start; never goes back.
  virtual std::int64_t NowMicroseconds() = 0;
  // Blocks until the clock has reached the deadline, and hardly longer.
  virtual void WaitUntil(std::int64_t deadlineMicroseconds) = 0;

  std::int64_t NowMs() { return NowMicroseconds() / 1000; }
};

// The system's monotonic clock (see precise_wait.h), whose reading the
// recording hooks stamp their events with.
class SystemClock final : public Clock {
 public:
  std::int64_t NowMicroseconds() override { return MonotonicMicroseconds(); }
  void WaitUntil(std::int64_t deadlineMicroseconds) override {
    WaitUntilMicroseconds(deadlineMicroseconds);
  }
};

}  // namespace kestro
