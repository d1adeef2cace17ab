#include <cerrno>
#include <ctime>

#include "platform/precise_wait.h"

namespace kestro {

std::int64_t MonotonicMicroseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t{now.tv_sec} * 1000000 + now.tv_nsec / 1000;
}

// An absolute deadline on the monotonic clock: interruptions resume towards
// the same deadline, so the wait is never cut short.
void WaitUntilMicroseconds(std::int64_t deadline) {
  timespec until{};
  until.tv_sec = static_cast<time_t>(deadline / 1000000);
  until.tv_nsec = static_cast<long>(deadline % 1000000) * 1000;
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

// Linux timers are precise without help.
PreciseTimingScope::PreciseTimingScope() = default;
PreciseTimingScope::~PreciseTimingScope() = default;

}  // namespace kestro
