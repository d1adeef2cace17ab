// Waits that are never shorter than asked and at most about a millisecond
// longer, measured against the system's monotonic clock.
#pragma once

#include <cstdint>

namespace kestro {

void PreciseWait(std::uint32_t milliseconds);

// Holds the system ready for precise waits while it lives (on Windows
// without high-resolution timers: a raised timer resolution).
class PreciseTimingScope {
 public:
  PreciseTimingScope();
  ~PreciseTimingScope();
  PreciseTimingScope(const PreciseTimingScope&) = delete;
  PreciseTimingScope& operator=(const PreciseTimingScope&) = delete;

 private:
  [[maybe_unused]] bool raised_ = false;  // Windows without high-resolution timers
};

}  // namespace kestro
