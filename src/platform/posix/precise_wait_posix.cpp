#include <cerrno>
#include <ctime>

#include "platform/precise_wait.h"

namespace kestro {

// An absolute deadline on the monotonic clock: interruptions resume towards
// the same deadline, so the wait is never cut short.
void PreciseWait(std::uint32_t milliseconds) {
  timespec deadline{};
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  deadline.tv_sec += static_cast<time_t>(milliseconds / 1000);
  deadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
  if (deadline.tv_nsec >= 1000000000L) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000L;
  }
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
  }
}

// Linux timers are precise without help.
PreciseTimingScope::PreciseTimingScope() = default;
PreciseTimingScope::~PreciseTimingScope() = default;

}  // namespace kestro
