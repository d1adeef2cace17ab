// The hotkey seam: system-wide hotkeys registered for a window under ids
// taken from the global atom table, and the two screen reads of the capture
// hotkey (cursor position and the colour of one screen pixel). Windows
// implements it with GlobalAddAtom, RegisterHotKey, GetCursorPos and
// GetPixel on the screen's device context; tests use a fake.
#pragma once

#include <cstdint>
#include <string_view>

namespace kestro {

// A window as the platform knows it (an HWND on Windows). The core only
// passes it on.
using NativeWindow = void*;

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// The colour GetPixel reports when it cannot read the pixel.
constexpr std::uint32_t kInvalidColour = 0xFFFFFFFF;

class HotkeyPlatform {
 public:
  virtual ~HotkeyPlatform() = default;

  // The id of the name in the global atom table (GBK name); the same name
  // gives the same id while the atom exists, 0 when the table refuses it.
  virtual std::uint16_t AddGlobalAtom(std::string_view name) = 0;
  // False when the combination cannot be registered, for instance because
  // another hotkey holds it. Presses then arrive at the window as hotkey
  // messages carrying the modifiers and the key.
  virtual bool RegisterHotkey(NativeWindow window, int id, int modifiers, int key) = 0;
  virtual void UnregisterHotkey(NativeWindow window, int id) = 0;
  // The cursor in screen pixels; left of or above the primary screen is
  // negative.
  virtual ScreenPoint CursorPosition() = 0;
  // The screen pixel's colour as 0x00BBGGRR (red in the lowest byte), or
  // kInvalidColour.
  virtual std::uint32_t ScreenPixel(int x, int y) = 0;
};

// The system's hotkeys and screen (Windows).
class SystemHotkeyPlatform final : public HotkeyPlatform {
 public:
  std::uint16_t AddGlobalAtom(std::string_view name) override;
  bool RegisterHotkey(NativeWindow window, int id, int modifiers, int key) override;
  void UnregisterHotkey(NativeWindow window, int id) override;
  ScreenPoint CursorPosition() override;
  std::uint32_t ScreenPixel(int x, int y) override;
};

}  // namespace kestro
