#include <timeapi.h>
#include <windows.h>

#include "platform/precise_wait.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace kestro {
namespace {

// Windows rounds ordinary waits up to its timer tick (15.6 ms by default).
// A high-resolution waitable timer (Windows 10 1803 and later) wakes within
// a fraction of a millisecond whatever the tick; elsewhere the run raises
// the timer resolution to 1 ms and the last stretch is spun out.
class WaitTimer {
 public:
  WaitTimer() {
    handle_ = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                     TIMER_ALL_ACCESS);
    highResolution_ = handle_ != nullptr;
    if (!handle_) handle_ = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
  }
  ~WaitTimer() {
    if (handle_) CloseHandle(handle_);
  }
  WaitTimer(const WaitTimer&) = delete;
  WaitTimer& operator=(const WaitTimer&) = delete;

  bool highResolution() const { return highResolution_; }

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
  bool highResolution_ = false;
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

// Without a high-resolution timer a wake can come up to a tick late, so the
// timer sleeps only until this close to the deadline and the rest is spun.
constexpr LONGLONG kSpinMarginMs = 2;

}  // namespace

// The deadline is measured with the performance counter, and the loop sleeps
// again whenever a timer fires early, so the wait is never shorter.
void PreciseWait(std::uint32_t milliseconds) {
  const LONGLONG frequency = Frequency();
  const LONGLONG deadline = Now() + Rescale(milliseconds, 1000, frequency);
  WaitTimer& timer = ThreadTimer();
  const LONGLONG margin = timer.highResolution() ? 0 : kSpinMarginMs * frequency / 1000;
  for (;;) {
    LONGLONG remaining = deadline - Now();
    if (remaining <= 0) return;
    if (remaining > margin) {
      if (timer.Sleep(Rescale(remaining - margin, frequency, 10000000))) continue;
      ::Sleep(static_cast<DWORD>(Rescale(remaining - margin, frequency, 1000)));
      continue;
    }
    SwitchToThread();
  }
}

PreciseTimingScope::PreciseTimingScope() {
  if (HighResolutionTimersExist()) return;
  raised_ = timeBeginPeriod(1) == TIMERR_NOERROR;
}

PreciseTimingScope::~PreciseTimingScope() {
  if (raised_) timeEndPeriod(1);
}

}  // namespace kestro
