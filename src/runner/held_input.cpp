#include "runner/held_input.h"

namespace kestro {

// A click carries down and up in one call and leaves the button up; a down
// alone holds it until an up comes.
void HeldInput::MouseEvent(std::uint32_t flags) {
  std::lock_guard lock(mutex_);
  if (closed_) return;
  if (flags & kMouseLeftDown) leftButton_ = true;
  if (flags & kMouseLeftUp) leftButton_ = false;
  if (flags & kMouseRightDown) rightButton_ = true;
  if (flags & kMouseRightUp) rightButton_ = false;
  system_.MouseEvent(flags);
}

void HeldInput::MoveCursor(int x, int y) {
  std::lock_guard lock(mutex_);
  if (closed_) return;
  system_.MoveCursor(x, y);
}

void HeldInput::KeyEvent(std::uint8_t virtualKey, bool release) {
  std::lock_guard lock(mutex_);
  if (closed_) return;
  keys_[virtualKey] = !release;
  system_.KeyEvent(virtualKey, release);
}

void HeldInput::UnicodeKeyEvent(std::uint16_t unit, bool release) {
  std::lock_guard lock(mutex_);
  if (closed_) return;
  system_.UnicodeKeyEvent(unit, release);
}

void HeldInput::WheelEvent(int notches) {
  std::lock_guard lock(mutex_);
  if (closed_) return;
  system_.WheelEvent(notches);
}

void HeldInput::ReleaseAllAndClose() {
  std::lock_guard lock(mutex_);
  if (closed_) return;
  closed_ = true;
  for (int key = 255; key >= 0; --key) {
    if (keys_[static_cast<std::size_t>(key)])
      system_.KeyEvent(static_cast<std::uint8_t>(key), true);
  }
  if (leftButton_) system_.MouseEvent(kMouseLeftUp);
  if (rightButton_) system_.MouseEvent(kMouseRightUp);
  keys_.reset();
  leftButton_ = rightButton_ = false;
}

}  // namespace kestro
