// A monotonic clock behind a seam, so time limits that span many steps (the
// update check's overall deadline) are tested in virtual time.
#pragma once

#include <cstdint>

#include "platform/precise_wait.h"

namespace kestro {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds from an arbitrary start; never goes back.
  virtual std::int64_t NowMs() = 0;
};

// The system's monotonic clock (see precise_wait.h).
class SystemClock final : public Clock {
 public:
  std::int64_t NowMs() override { return MonotonicMicroseconds() / 1000; }
};

}  // namespace kestro
