// The input-hooks seam: system-wide mouse and keyboard events as the user
// makes them, for recording. The Windows implementation keeps low-level
// hooks on a thread of its own; the hook procedures only timestamp and
// store, into room made ready for them, because the system silently removes
// a hook that answers slowly. What the events mean as script lines is the
// recorder's business.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace kestro {

enum class HookEventKind : std::uint8_t {
  Move,
  LeftDown,
  LeftUp,
  RightDown,
  RightUp,
  // Middle and extra buttons: the script language has no words for them.
  OtherButtonDown,
  OtherButtonUp,
  KeyDown,  // also each repeat of a held key
  KeyUp,
  Wheel,  // the vertical wheel
};

struct HookEvent {
  HookEventKind kind = HookEventKind::Move;
  // When the hook saw the event, on the system clock that runs wait by
  // (SystemClock).
  std::int64_t timeUs = 0;
  // The cursor in physical screen pixels, for mouse events; left of or above
  // the primary screen is negative.
  int x = 0;
  int y = 0;
  // The virtual key, for key events, as the system reports it (left and
  // right Shift, Ctrl and Alt apart).
  std::uint8_t virtualKey = 0;
  // The wheel's turn, in 120ths of a notch, positive away from the user.
  int wheelDelta = 0;
  // A press aimed at a window of this program: a button pressed or the
  // wheel turned over one of its windows, a key pressed while one of them
  // is in front.
  bool toOwnWindow = false;
};

// What one recording saw.
struct HookCapture {
  // Keys already held when the hooks were in place, such as the hotkey that
  // started the recording: their releases belong to no recorded press.
  std::vector<std::uint8_t> keysDownAtStart;
  // In the order the hooks saw them. Of the cursor's moves while no button
  // is held only the last before each other event is kept.
  std::vector<HookEvent> events;
};

class InputHooks {
 public:
  virtual ~InputHooks() = default;

  // Installs the hooks; false, with nothing installed, when the system
  // refuses them. Should the system take them away later, `lost` is called
  // once, on the hooks' own thread; what came until then stays for Stop.
  virtual bool Start(std::function<void()> lost) = 0;
  // Removes the hooks and returns everything seen since Start.
  virtual HookCapture Stop() = 0;
  // The longest time between the clicks of a double click.
  virtual std::uint32_t DoubleClickTimeMs() = 0;
};

struct InputHookThread;

// The system's low-level mouse and keyboard hooks (Windows).
class SystemInputHooks final : public InputHooks {
 public:
  SystemInputHooks();
  ~SystemInputHooks() override;
  SystemInputHooks(const SystemInputHooks&) = delete;
  SystemInputHooks& operator=(const SystemInputHooks&) = delete;

  bool Start(std::function<void()> lost) override;
  HookCapture Stop() override;
  std::uint32_t DoubleClickTimeMs() override;

 private:
  std::unique_ptr<InputHookThread> thread_;  // while the hooks are installed
};

}  // namespace kestro
