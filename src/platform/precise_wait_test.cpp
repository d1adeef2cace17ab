#include "platform/precise_wait.h"

#include <gtest/gtest.h>

#include <chrono>

namespace kestro {
namespace {

// A wait may end late under load, but it must never end early: scripts rely
// on waits being at least as long as written. (How late is measured by the
// benchmark, not here.)
TEST(PreciseWaitTest, NeverEndsBeforeItsTime) {
  PreciseTimingScope timing;
  for (std::uint32_t ms : {0u, 1u, 2u, 5u, 10u, 16u, 25u}) {
    SCOPED_TRACE(ms);
    for (int i = 0; i < 5; ++i) {
      auto start = std::chrono::steady_clock::now();
      PreciseWait(ms);
      auto elapsed = std::chrono::steady_clock::now() - start;
      EXPECT_GE(elapsed, std::chrono::milliseconds(ms));
    }
  }
}

}  // namespace
}  // namespace kestro
