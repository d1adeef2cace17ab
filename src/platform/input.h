// The input seam: the operations that play a script line as system-wide
// input. The Windows implementation calls mouse_event, SetCursorPos,
// keybd_event and VkKeyScan; tests use a recording fake in virtual time.
// Waits are the clock's (platform/clock.h).
#pragma once

#include <cstdint>
#include <optional>

#include "platform/precise_wait.h"

namespace kestro {

// Button flags as mouse_event takes them; a click passes down | up at once.
enum MouseFlag : std::uint32_t {
  kMouseLeftDown = 2,
  kMouseLeftUp = 4,
  kMouseRightDown = 8,
  kMouseRightUp = 16,
};

// Bit of a ScanCharacter result that says the character needs Shift.
constexpr std::uint16_t kScanShiftBit = 0x100;
constexpr std::uint8_t kVirtualKeyShift = 16;

class Input {
 public:
  virtual ~Input() = default;

  // Button events of the flags, at the current cursor position.
  virtual void MouseEvent(std::uint32_t flags) = 0;
  // Moves the cursor to a screen position in physical pixels.
  virtual void MoveCursor(int x, int y) = 0;
  // Presses or releases one virtual key.
  virtual void KeyEvent(std::uint8_t virtualKey, bool release) = 0;
  // Virtual key in the low byte and shift state in the high byte of the key
  // that types the character on the active layout; 0xFFFF when none does.
  virtual std::uint16_t ScanCharacter(char character) = 0;
  // Presses or releases the "key" of one UTF-16 unit: the character arrives
  // as typed, whatever the layout or an input method.
  virtual void UnicodeKeyEvent(std::uint16_t unit, bool release) = 0;
  // Turns the wheel at the cursor by notches, positive away from the user.
  virtual void WheelEvent(int notches) = 0;
  // The colour of a screen pixel as 0x00BBGGRR; all bits set when it cannot
  // be read.
  virtual std::uint32_t ScreenPixel(int x, int y) = 0;
  // Bracket one script run on the thread that plays it, so an
  // implementation can hold precise timing (a raised timer resolution and
  // thread priority) only while a run needs it. RunStarting also makes the
  // first calls whose cost is paid once per thread, before the first wait
  // ends rather than between two events.
  virtual void RunStarting() {}
  virtual void RunFinished() {}
};

// The system's input (Windows): mouse_event, SetCursorPos, keybd_event,
// VkKeyScanEx, SendInput of Unicode keys and GetPixel, and while a run lasts
// the precise timing of the system clock.
class SystemInput final : public Input {
 public:
  void MouseEvent(std::uint32_t flags) override;
  void MoveCursor(int x, int y) override;
  void KeyEvent(std::uint8_t virtualKey, bool release) override;
  std::uint16_t ScanCharacter(char character) override;
  void UnicodeKeyEvent(std::uint16_t unit, bool release) override;
  void WheelEvent(int notches) override;
  std::uint32_t ScreenPixel(int x, int y) override;
  void RunStarting() override;
  void RunFinished() override;

 private:
  std::optional<PreciseTimingScope> timing_;
};

}  // namespace kestro
