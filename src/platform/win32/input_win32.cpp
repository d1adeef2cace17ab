#include <windows.h>

#include "platform/input.h"

namespace kestro {

void SystemInput::MouseEvent(std::uint32_t flags) { mouse_event(flags, 0, 0, 0, 0); }

void SystemInput::MoveCursor(int x, int y) { SetCursorPos(x, y); }

void SystemInput::KeyEvent(std::uint8_t virtualKey, bool release) {
  keybd_event(virtualKey, 0, release ? KEYEVENTF_KEYUP : 0, 0);
}

void SystemInput::UnicodeKeyEvent(std::uint16_t unit, bool release) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wScan = unit;
  input.ki.dwFlags = KEYEVENTF_UNICODE | (release ? KEYEVENTF_KEYUP : 0);
  SendInput(1, &input, sizeof input);
}

void SystemInput::WheelEvent(int notches) {
  mouse_event(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(notches * WHEEL_DELTA), 0);
}

std::uint32_t SystemInput::ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return colour;
}

namespace {

// The layout that counts is the one of the program receiving the keys: the
// foreground window's thread, else this thread's own.
HKL ForegroundLayout() {
  HKL layout = nullptr;
  if (HWND foreground = GetForegroundWindow()) {
    layout = GetKeyboardLayout(GetWindowThreadProcessId(foreground, nullptr));
  }
  return layout ? layout : GetKeyboardLayout(0);
}

}  // namespace

std::uint16_t SystemInput::ScanCharacter(char character) {
  return static_cast<std::uint16_t>(VkKeyScanExA(character, ForegroundLayout()));
}

// A thread's first look at the keyboard layout loads its tables (Windows)
// or opens the thread's own display connection (Wine, about 20 ms, which
// the first cursor move would pay otherwise). Done here, it costs the first
// second of the run and not the first line; each line still asks the window
// in front for its layout when it runs.
void SystemInput::RunStarting() {
  timing_.emplace();
  VkKeyScanExA(' ', ForegroundLayout());
}

void SystemInput::RunFinished() { timing_.reset(); }

}  // namespace kestro
