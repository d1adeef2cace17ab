#include <windows.h>

#include "platform/hotkey_platform.h"
#include "platform/win32/gbk_text_win32.h"

namespace kestro {

std::uint16_t SystemHotkeyPlatform::AddGlobalAtom(std::string_view name) {
  return GlobalAddAtomW(WideFromGbk(name).c_str());
}

bool SystemHotkeyPlatform::RegisterHotkey(NativeWindow window, int id, int modifiers, int key) {
  return RegisterHotKey(static_cast<HWND>(window), id, static_cast<UINT>(modifiers),
                        static_cast<UINT>(key)) != FALSE;
}

void SystemHotkeyPlatform::UnregisterHotkey(NativeWindow window, int id) {
  UnregisterHotKey(static_cast<HWND>(window), id);
}

ScreenPoint SystemHotkeyPlatform::CursorPosition() {
  POINT point = {0, 0};
  GetCursorPos(&point);
  return {point.x, point.y};
}

std::uint32_t SystemHotkeyPlatform::ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return colour;
}

}  // namespace kestro
