// The clock of one run. Each wait ends its time after the previous wait
// ended, not after it began, so what input calls, status updates and list
// traffic take in between is absorbed instead of added, and a long loop
// keeps the timing its author wrote.
#pragma once

#include <cstdint>

#include "platform/input.h"

namespace kestro {

class Pacer {
 public:
  // Counts the first wait from `startMicroseconds` (the run command, say).
  Pacer(Input& input, std::int64_t startMicroseconds) : input_(input), mark_(startMicroseconds) {}
  explicit Pacer(Input& input) : Pacer(input, input.NowMicroseconds()) {}

  // Waits until `milliseconds` after the previous wait ended. A stall longer
  // than that is not caught up: the wait then counts from now.
  void Wait(std::uint32_t milliseconds);
  // The user held the run (a message box): the next wait counts from now.
  void Resync() { mark_ = input_.NowMicroseconds(); }

 private:
  Input& input_;
  // When the previous wait ended, as the clock read it: waits never end
  // earlier than written after the event before them.
  std::int64_t mark_;
};

}  // namespace kestro
