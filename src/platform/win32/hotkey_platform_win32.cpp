#include "platform/win32/hotkey_platform_win32.h"

#include <windows.h>

#include "platform/win32/gbk_text.h"

namespace kestro {

std::uint16_t Win32HotkeyPlatform::AddGlobalAtom(std::string_view name) {
  return GlobalAddAtomW(WideFromGbk(name).c_str());
}

bool Win32HotkeyPlatform::RegisterHotkey(NativeWindow window, int id, int modifiers, int key) {
  return RegisterHotKey(static_cast<HWND>(window), id, static_cast<UINT>(modifiers),
                        static_cast<UINT>(key)) != FALSE;
}

void Win32HotkeyPlatform::UnregisterHotkey(NativeWindow window, int id) {
  UnregisterHotKey(static_cast<HWND>(window), id);
}

ScreenPoint Win32HotkeyPlatform::CursorPosition() {
  POINT point = {0, 0};
  GetCursorPos(&point);
  return {point.x, point.y};
}

std::uint32_t Win32HotkeyPlatform::ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return colour;
}

}  // namespace kestro
