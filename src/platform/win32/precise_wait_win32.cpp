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

// How a thread sleeps towards a deadline. Windows' high-resolution waitable
// timer wakes within a fraction of a millisecond, but timers wake late by up
// to a millisecond where they are coarse (a raised timer resolution has 1 ms
// ticks; Wine rounds sub-millisecond timeouts up to one and runs its timers
// about 1 % slow), so such a sleep stops a margin short and the rest is spun
// out; a time-critical thread spins undisturbed. Wine ignores thread
// priorities, and a spin of a millisecond loses to a busy machine there, but
// its NtDelayExecution sleeps on the host's clock to the microsecond: on
// Wine the sleep goes almost to the deadline and the spin is a few
// microseconds.
struct Sleeper {
  LONGLONG marginUs;         // how far before the deadline the sleep stops
  LONGLONG shortestSleepUs;  // below this, spin
  int slowDivisor;           // a sleep may take 1/slowDivisor longer (0: never)
  bool (*sleep)(LONGLONG microseconds);
};

using DelayExecution = LONG(WINAPI*)(BOOLEAN alertable, const LARGE_INTEGER* timeout);

DelayExecution HostClockDelay() {
  static const DelayExecution delay = [] {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) return DelayExecution{};
    return reinterpret_cast<DelayExecution>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtDelayExecution")));
  }();
  return delay;
}

bool SleepOnHostClock(LONGLONG microseconds) {
  LARGE_INTEGER timeout;
  timeout.QuadPart = -microseconds * 10;  // negative: relative, in 100 ns
  return HostClockDelay()(FALSE, &timeout) == 0;
}

bool SleepOnTimer(LONGLONG microseconds) { return ThreadTimer().Sleep(microseconds * 10); }

const Sleeper& ChosenSleeper() {
  static const Sleeper sleeper = HostClockDelay() ? Sleeper{150, 100, 0, SleepOnHostClock}
                                                  : Sleeper{1000, 500, 32, SleepOnTimer};
  return sleeper;
}

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
  const Sleeper& sleeper = ChosenSleeper();
  for (;;) {
    LONGLONG remaining = deadline - Now();
    if (remaining <= 0) return;
    LONGLONG remainingUs = remaining * 1000000 / frequency;
    LONGLONG sleepUs = remainingUs - sleeper.marginUs -
                       (sleeper.slowDivisor ? remainingUs / sleeper.slowDivisor : 0);
    if (sleepUs < sleeper.shortestSleepUs) {
      YieldProcessor();
      continue;
    }
    if (!sleeper.sleep(sleepUs)) ::Sleep(static_cast<DWORD>(sleepUs / 1000));
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
