#include "platform/win32/win32_input.h"

#include <windows.h>

namespace kestro {

void Win32Input::MouseEvent(std::uint32_t flags) { mouse_event(flags, 0, 0, 0, 0); }

void Win32Input::MoveCursor(int x, int y) { SetCursorPos(x, y); }

void Win32Input::KeyEvent(std::uint8_t virtualKey, bool release) {
  keybd_event(virtualKey, 0, release ? KEYEVENTF_KEYUP : 0, 0);
}

// The layout that counts is the one of the program receiving the keys: the
// foreground window's thread, else this thread's own.
std::uint16_t Win32Input::ScanCharacter(char character) {
  HKL layout = nullptr;
  if (HWND foreground = GetForegroundWindow()) {
    layout = GetKeyboardLayout(GetWindowThreadProcessId(foreground, nullptr));
  }
  if (!layout) layout = GetKeyboardLayout(0);
  return static_cast<std::uint16_t>(VkKeyScanExA(character, layout));
}

void Win32Input::Wait(std::uint32_t milliseconds) { PreciseWait(milliseconds); }

void Win32Input::RunStarting() { timing_.emplace(); }

void Win32Input::RunFinished() { timing_.reset(); }

}  // namespace kestro
