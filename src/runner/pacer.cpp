#include "runner/pacer.h"

namespace kestro {
namespace {

// A wait that ends this little after its deadline (a timer's jitter) still
// counts as ending on it, so such jitter never adds up over a long loop;
// one that ends later (a busy machine) is not caught up.
constexpr std::int64_t kJitterUs = 250;

}  // namespace

void Pacer::Wait(std::uint32_t milliseconds) {
  const std::int64_t length = std::int64_t{milliseconds} * 1000;
  std::int64_t now = input_.NowMicroseconds();
  if (now - mark_ > length) mark_ = now;
  const std::int64_t deadline = mark_ + length;
  input_.WaitUntil(deadline);
  now = input_.NowMicroseconds();
  mark_ = now - deadline <= kJitterUs ? deadline : now;
}

}  // namespace kestro
