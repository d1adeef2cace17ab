#include <windows.h>
// after windows.h, which it needs
#include <timeapi.h>

#include "platform/precise_wait.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace kestro {
namespace {

// Windows rounds ordinary waits up to its timer tick (15.6 ms by default).
// A high-resolution waitable timer (Windows 10 1803 and later) wakes within
// a fraction of a millisecond whatever the tick; elsewhere a run raises the
// timer resolution to 1 ms (PreciseTimingScope).
class WaitTimer {
 public:
  WaitTimer() {
    handle_ = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                     TIMER_ALL_ACCESS);
    if (!handle_) handle_ = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
  }
  ~WaitTimer() {
    if (handle_) CloseHandle(handle_);
  }
  WaitTimer(const WaitTimer&) = delete;
  WaitTimer& operator=(const WaitTimer&) = delete;

  // Sleeps about `ticks100ns`; false when the timer is unusable.
  bool Sleep(LONGLONG ticks100ns) {
    if (!handle_) return false;
    LARGE_INTEGER due;
    due.QuadPart = -ticks100ns;  // negative: relative to now
    if (!SetWaitableTimer(handle_, &due, 0, nullptr, nullptr, FALSE)) return false;
    return WaitForSingleObject(handle_, INFINITE) == WAIT_OBJECT_0;
  }

 private:
  HANDLE handle_ = nullptr;
};

WaitTimer& ThreadTimer() {
  thread_local WaitTimer timer;
  return timer;
}

bool HighResolutionTimersExist() {
  static const bool exist = [] {
    HANDLE h = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                      TIMER_ALL_ACCESS);
    if (h) CloseHandle(h);
    return h != nullptr;
  }();
  return exist;
}

LONGLONG Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

LONGLONG Frequency() {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart;
  }();
  return frequency;
}

// Converts counter ticks to another unit without overflow, rounding up.
LONGLONG Rescale(LONGLONG value, LONGLONG from, LONGLONG to) {
  return value / from * to + ((value % from) * to + from - 1) / from;
}

// How close to the deadline a timer may take the wait: timers wake late by
// up to a millisecond (Wine rounds sub-millisecond timeouts up to one, a
// raised timer resolution has 1 ms ticks), and some run slow in proportion
// to the wait (Wine's by about 1 %). The last stretch is spun out.
constexpr LONGLONG kSpinMarginUs = 1000;
constexpr LONGLONG kShortestTimerUs = 500;

}  // namespace

std::int64_t MonotonicMicroseconds() { return Rescale(Now(), Frequency(), 1000000); }

// The deadline is measured with the performance counter; long waits aim a
// little early, the loop sleeps again while there is time, and the rest is
// spun, so the wait is never shorter and at most a fraction of a
// millisecond longer.
void WaitUntilMicroseconds(std::int64_t deadlineMicroseconds) {
  const LONGLONG frequency = Frequency();
  // Rounded up, so the counter's deadline is never before the clock's.
  const LONGLONG deadline = Rescale(deadlineMicroseconds, 1000000, frequency);
  const LONGLONG margin = Rescale(kSpinMarginUs, 1000000, frequency);
  const LONGLONG shortest = Rescale(kShortestTimerUs, 1000000, frequency);
  WaitTimer& timer = ThreadTimer();
  for (;;) {
    LONGLONG remaining = deadline - Now();
    if (remaining <= 0) return;
    LONGLONG sleep = remaining - margin - remaining / 32;
    if (sleep < shortest) {
      SwitchToThread();
      continue;
    }
    if (!timer.Sleep(Rescale(sleep, frequency, 10000000))) {
      ::Sleep(static_cast<DWORD>(sleep * 1000 / frequency));
    }
  }
}

// A time-critical thread wakes first when its timer fires, even while every
// core is busy, and then spins out the last stretch undisturbed.
PreciseTimingScope::PreciseTimingScope() : priority_(GetThreadPriority(GetCurrentThread())) {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  if (HighResolutionTimersExist()) return;
  raised_ = timeBeginPeriod(1) == TIMERR_NOERROR;
}

PreciseTimingScope::~PreciseTimingScope() {
  if (raised_) timeEndPeriod(1);
  SetThreadPriority(GetCurrentThread(), priority_);
}

}  // namespace kestro
