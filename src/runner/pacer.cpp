#include "runner/pacer.h"

#include <algorithm>

namespace kestro {

void Pacer::Wait(std::uint32_t milliseconds) {
  deadline_ = std::max(deadline_, inputReturned_) + std::int64_t{milliseconds} * 1000;
  clock_.WaitUntil(deadline_);
}

}  // namespace kestro
