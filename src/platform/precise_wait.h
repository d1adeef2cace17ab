// The monotonic clock and waits that are never shorter than asked and at
// most a fraction of a millisecond longer.
#pragma once

#include <cstdint>

namespace kestro {

// The system's monotonic clock in microseconds, from an arbitrary start.
std::int64_t MonotonicMicroseconds();

// Blocks until MonotonicMicroseconds() has reached the deadline.
void WaitUntilMicroseconds(std::int64_t deadline);

// Blocks for at least the given time.
inline void PreciseWait(std::uint32_t milliseconds) {
  WaitUntilMicroseconds(MonotonicMicroseconds() + std::int64_t{milliseconds} * 1000);
}

// Holds the system and the calling thread ready for precise waits while it
// lives: on Windows a raised timer resolution where high-resolution timers
// are missing, and a raised priority for the thread, so a busy machine does
// not hold it back when a wait ends.
class PreciseTimingScope {
 public:
  PreciseTimingScope();
  ~PreciseTimingScope();
  PreciseTimingScope(const PreciseTimingScope&) = delete;
  PreciseTimingScope& operator=(const PreciseTimingScope&) = delete;

 private:
  [[maybe_unused]] bool raised_ = false;  // the timer resolution
  [[maybe_unused]] int priority_ = 0;     // the thread's priority before
};

}  // namespace kestro
