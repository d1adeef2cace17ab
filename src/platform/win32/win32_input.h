// The product's input: synthesised system-wide mouse and keyboard events,
// cursor moves and precise waits.
#pragma once

#include <optional>

#include "platform/input.h"
#include "platform/precise_wait.h"

namespace kestro {

class Win32Input : public Input {
 public:
  void MouseEvent(std::uint32_t flags) override;
  void MoveCursor(int x, int y) override;
  void KeyEvent(std::uint8_t virtualKey, bool release) override;
  std::uint16_t ScanCharacter(char character) override;
  void Wait(std::uint32_t milliseconds) override;
  void RunStarting() override;
  void RunFinished() override;

 private:
  std::optional<PreciseTimingScope> timing_;
};

}  // namespace kestro
