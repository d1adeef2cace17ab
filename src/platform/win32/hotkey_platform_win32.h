// The hotkey seam on Windows: global atoms, RegisterHotKey and the screen's
// device context.
#pragma once

#include "platform/hotkey_platform.h"

namespace kestro {

class Win32HotkeyPlatform : public HotkeyPlatform {
 public:
  std::uint16_t AddGlobalAtom(std::string_view name) override;
  bool RegisterHotkey(NativeWindow window, int id, int modifiers, int key) override;
  void UnregisterHotkey(NativeWindow window, int id) override;
  ScreenPoint CursorPosition() override;
  std::uint32_t ScreenPixel(int x, int y) override;
};

}  // namespace kestro
