#include "runner/pacer.h"

namespace kestro {

void Pacer::Wait(std::uint32_t milliseconds) {
  const std::int64_t length = std::int64_t{milliseconds} * 1000;
  std::int64_t now = input_.NowMicroseconds();
  if (now - mark_ > length) mark_ = now;
  input_.WaitUntil(mark_ + length);
  mark_ = input_.NowMicroseconds();
}

}  // namespace kestro
