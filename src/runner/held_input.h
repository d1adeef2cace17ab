// Keeps track of the keys and mouse buttons that runs press and have not
// released, so they can be let go when the program ends in the middle of a
// run: a script may hold Shift on purpose, but not beyond the program's end.
#pragma once

#include <bitset>
#include <mutex>

#include "platform/input.h"

namespace kestro {

// Passes every call on to the system's input and notes what stays down.
class HeldInput final : public Input {
 public:
  explicit HeldInput(Input& system) : system_(system) {}

  void MouseEvent(std::uint32_t flags) override;
  void MoveCursor(int x, int y) override;
  void KeyEvent(std::uint8_t virtualKey, bool release) override;
  std::uint16_t ScanCharacter(char character) override { return system_.ScanCharacter(character); }
  // A character's press and release come together, so nothing stays down.
  void UnicodeKeyEvent(std::uint16_t unit, bool release) override;
  void WheelEvent(int notches) override;
  std::uint32_t ScreenPixel(int x, int y) override { return system_.ScreenPixel(x, y); }
  void RunStarting() override { system_.RunStarting(); }
  void RunFinished() override { system_.RunFinished(); }

  // Releases every key and button still down, keys in the reverse order of
  // their codes, and from then on sends no more input: a run still going
  // cannot press anything again before the process is gone.
  void ReleaseAllAndClose();

 private:
  Input& system_;
  std::mutex mutex_;
  std::bitset<256> keys_;
  bool leftButton_ = false;
  bool rightButton_ = false;
  bool closed_ = false;
};

}  // namespace kestro
