#include <windows.h>

#include "platform/input.h"
#include "platform/win32/own_input_win32.h"

namespace kestro {

// Marked as this program's own, so a recording never takes it for the user's.
void SystemInput::MouseEvent(std::uint32_t flags) { mouse_event(flags, 0, 0, 0, kOwnInputMarker); }

void SystemInput::MoveCursor(int x, int y) { SetCursorPos(x, y); }

void SystemInput::KeyEvent(std::uint8_t virtualKey, bool release) {
  keybd_event(virtualKey, 0, release ? KEYEVENTF_KEYUP : 0, kOwnInputMarker);
}

// The layout that counts is the one of the program receiving the keys: the
// foreground window's thread, else this thread's own.
std::uint16_t SystemInput::ScanCharacter(char character) {
  HKL layout = nullptr;
  if (HWND foreground = GetForegroundWindow()) {
    layout = GetKeyboardLayout(GetWindowThreadProcessId(foreground, nullptr));
  }
  if (!layout) layout = GetKeyboardLayout(0);
  return static_cast<std::uint16_t>(VkKeyScanExA(character, layout));
}

std::int64_t SystemInput::NowMicroseconds() { return MonotonicMicroseconds(); }

void SystemInput::WaitUntil(std::int64_t deadlineMicroseconds) {
  WaitUntilMicroseconds(deadlineMicroseconds);
}

void SystemInput::RunStarting() { timing_.emplace(); }

void SystemInput::RunFinished() { timing_.reset(); }

}  // namespace kestro
