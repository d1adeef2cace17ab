#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/input_hooks.h"
#include "platform/precise_wait.h"
#include "platform/threads.h"

namespace kestro {

// Room for the hooks' events that the hook procedures fill without
// allocating: chunks of fixed size, the next one made ready by the hook
// thread's loop between hook calls, long before the current one is full.
class HookEventStore {
 public:
  static constexpr std::size_t kChunkEvents = 16384;

  // Outside the hooks: a fresh chunk once the last one is half full.
  void MakeRoom() {
    if (!chunks_.empty() && chunks_.back()->count < kChunkEvents / 2) return;
    chunks_.push_back(std::make_unique<Chunk>());
  }
  // In a hook: the event goes in, or, should the room ever run out, is lost
  // (and counted) rather than allocated for.
  void Add(const HookEvent& event) noexcept {
    while (current_ < chunks_.size() && chunks_[current_]->count == kChunkEvents) ++current_;
    if (current_ == chunks_.size()) return void(++lost_);
    Chunk& chunk = *chunks_[current_];
    chunk.events[chunk.count++] = event;
    ++size_;
  }
  // In a hook: the last event, or nullptr.
  HookEvent* Last() noexcept { return size_ == 0 ? nullptr : &(*this)[size_ - 1]; }
  std::size_t size() const { return size_; }
  // Chunks fill one after another, so event i is in chunk i / kChunkEvents.
  HookEvent& operator[](std::size_t i) noexcept {
    return chunks_[i / kChunkEvents]->events[i % kChunkEvents];
  }
  std::vector<HookEvent> Collect() {
    std::vector<HookEvent> events;
    events.reserve(size_);
    for (std::size_t i = 0; i < size_; ++i) events.push_back((*this)[i]);
    return events;
  }

 private:
  struct Chunk {
    std::array<HookEvent, kChunkEvents> events;
    std::size_t count = 0;
  };
  std::vector<std::unique_ptr<Chunk>> chunks_;
  std::size_t current_ = 0;
  std::size_t size_ = 0;
  std::size_t lost_ = 0;
};

// One recording's hook thread. The hook procedures run on it, inside its
// message loop, and only timestamp and store; whether a press was aimed at
// this program's windows is looked up by the loop right after each hook
// call has returned, so no hook ever waits on a window query.
// The thread comes from StartThread, so a system that cannot start one
// refuses the recording instead of ending the program; the events say when
// the hooks are in place and when the thread is done with this object.
struct InputHookThread {
  explicit InputHookThread(std::function<void()> lost) : lost(std::move(lost)) { store.MakeRoom(); }
  ~InputHookThread() {
    for (HANDLE event : {stop, ready, finished}) {
      if (event) CloseHandle(event);
    }
  }
  InputHookThread(const InputHookThread&) = delete;
  InputHookThread& operator=(const InputHookThread&) = delete;

  bool HasEvents() const { return stop && ready && finished; }
  void Run();
  // Returns false when the system took the hooks away.
  bool PumpUntilStopped();
  void MarkPressesAtOwnWindows();
  bool HooksGone() const;
  void Store(const HookEvent& event) noexcept;

  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::function<void()> lost;
  bool installed = false;  // read once ready is set
  std::vector<std::uint8_t> keysDownAtStart;
  HookEventStore store;
  std::size_t marked = 0;  // events before this one are marked already
  // Kept by the hooks themselves: the buttons a drag may hold, and when a
  // hook was last called (GetTickCount), to tell when the system took them.
  bool buttonHeld[2] = {};
  DWORD lastHookTick = GetTickCount();
};

namespace {

// The hook procedures have no context of their own: the one recording's
// thread, set by that thread before it installs them.
InputHookThread* g_hookThread = nullptr;

bool IsOwnWindow(HWND window) {
  if (!window) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process == GetCurrentProcessId();
}

bool MouseKind(WPARAM message, HookEventKind& kind) {
  switch (message) {
    case WM_MOUSEMOVE:
      kind = HookEventKind::Move;
      return true;
    case WM_LBUTTONDOWN:
      kind = HookEventKind::LeftDown;
      return true;
    case WM_LBUTTONUP:
      kind = HookEventKind::LeftUp;
      return true;
    case WM_RBUTTONDOWN:
      kind = HookEventKind::RightDown;
      return true;
    case WM_RBUTTONUP:
      kind = HookEventKind::RightUp;
      return true;
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      kind = HookEventKind::OtherButtonDown;
      return true;
    case WM_MBUTTONUP:
    case WM_XBUTTONUP:
      kind = HookEventKind::OtherButtonUp;
      return true;
    case WM_MOUSEWHEEL:
      kind = HookEventKind::Wheel;
      return true;
  }
  return false;  // the horizontal wheel
}

LRESULT CALLBACK MouseHook(int code, WPARAM message, LPARAM data) noexcept {
  HookEventKind kind;
  if (code == HC_ACTION && g_hookThread && MouseKind(message, kind)) {
    const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    HookEvent event;
    event.kind = kind;
    event.timeUs = MonotonicMicroseconds();
    event.x = info.pt.x;
    event.y = info.pt.y;
    if (kind == HookEventKind::Wheel) event.wheelDelta = static_cast<short>(HIWORD(info.mouseData));
    g_hookThread->Store(event);
  }
  return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data) noexcept {
  if (code == HC_ACTION && g_hookThread) {
    const auto& info = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    HookEvent event;
    event.kind = (info.flags & LLKHF_UP) ? HookEventKind::KeyUp : HookEventKind::KeyDown;
    event.timeUs = MonotonicMicroseconds();
    event.virtualKey = static_cast<std::uint8_t>(info.vkCode & 0xFF);
    g_hookThread->Store(event);
  }
  return CallNextHookEx(nullptr, code, message, data);
}

// Mouse buttons have virtual keys too; GetAsyncKeyState reports them.
bool IsMouseButtonKey(int virtualKey) {
  return virtualKey == VK_LBUTTON || virtualKey == VK_RBUTTON || virtualKey == VK_MBUTTON ||
         virtualKey == VK_XBUTTON1 || virtualKey == VK_XBUTTON2;
}

}  // namespace

// A move with no button held only says where the cursor is: it takes the
// place of the move before it, so an hour of idle mouse takes no room.
void InputHookThread::Store(const HookEvent& event) noexcept {
  lastHookTick = GetTickCount();
  switch (event.kind) {
    case HookEventKind::LeftDown:
    case HookEventKind::LeftUp:
      buttonHeld[0] = event.kind == HookEventKind::LeftDown;
      break;
    case HookEventKind::RightDown:
    case HookEventKind::RightUp:
      buttonHeld[1] = event.kind == HookEventKind::RightDown;
      break;
    case HookEventKind::Move:
      if (buttonHeld[0] || buttonHeld[1]) break;
      if (HookEvent* last = store.Last(); last && last->kind == HookEventKind::Move) {
        *last = event;
        return;
      }
      break;
    case HookEventKind::OtherButtonDown:
    case HookEventKind::OtherButtonUp:
    case HookEventKind::KeyDown:
    case HookEventKind::KeyUp:
    case HookEventKind::Wheel:
      break;
  }
  store.Add(event);
}

void InputHookThread::Run() {
  // A hook thread that the system schedules late makes every event late.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // makes the message queue
  g_hookThread = this;
  HMODULE module = GetModuleHandleW(nullptr);
  HHOOK mouse = SetWindowsHookExW(WH_MOUSE_LL, MouseHook, module, 0);
  HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, module, 0);
  installed = mouse && keyboard;
  // Read once the hooks are in: a key let go after this is seen going up,
  // so its next press counts. (The hooks wait for this thread, so nothing
  // is missed in between.)
  for (int key = 1; installed && key < 255; ++key) {
    if (IsMouseButtonKey(key)) continue;
    if (GetAsyncKeyState(key) & 0x8000) keysDownAtStart.push_back(static_cast<std::uint8_t>(key));
  }
  SetEvent(ready);
  bool kept = !installed || PumpUntilStopped();
  // Also what is left of hooks half taken: one that no thread serves would
  // hold up all input until the system gave up on it.
  if (mouse) UnhookWindowsHookEx(mouse);
  if (keyboard) UnhookWindowsHookEx(keyboard);
  MarkPressesAtOwnWindows();
  if (!kept) {
    std::exchange(lost, nullptr)();
    WaitForSingleObject(stop, INFINITE);
  }
  g_hookThread = nullptr;
  SetEvent(finished);  // the last touch: the owner may free this now
}

// Windows takes away a low-level hook that answered too slowly, without a
// word. The system's own record of the last input tells: when it saw input
// well after the hooks last did, they are gone.
bool InputHookThread::HooksGone() const {
  constexpr DWORD kToleranceMs = 1000;
  LASTINPUTINFO last{sizeof last, 0};
  if (!GetLastInputInfo(&last)) return false;
  return static_cast<LONG>(last.dwTime - lastHookTick) > static_cast<LONG>(kToleranceMs);
}

// The system calls low-level hooks from inside this thread's message
// functions; after each round the new presses are looked at and room is
// made for the next events. Every second the hooks are checked.
bool InputHookThread::PumpUntilStopped() {
  constexpr DWORD kCheckMs = 1000;
  for (;;) {
    DWORD woken = MsgWaitForMultipleObjectsEx(1, &stop, kCheckMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    // The hooks are called from inside PeekMessage, many times in one call
    // when input comes fast: there is room after every call.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageW(&msg);
      store.MakeRoom();
    }
    store.MakeRoom();
    MarkPressesAtOwnWindows();
    if (woken == WAIT_TIMEOUT && lost && HooksGone()) return false;
    if (woken != WAIT_OBJECT_0 + 1 && woken != WAIT_TIMEOUT) return true;  // stopped, or failed
  }
}

// A button goes to the window under the cursor, a key to the window in
// front. Only presses are looked at: a release follows its press.
void InputHookThread::MarkPressesAtOwnWindows() {
  for (; marked < store.size(); ++marked) {
    HookEvent& event = store[marked];
    switch (event.kind) {
      case HookEventKind::LeftDown:
      case HookEventKind::RightDown:
      case HookEventKind::OtherButtonDown:
      case HookEventKind::Wheel:
        event.toOwnWindow = IsOwnWindow(WindowFromPoint(POINT{event.x, event.y}));
        break;
      case HookEventKind::KeyDown:
        event.toOwnWindow = IsOwnWindow(GetForegroundWindow());
        break;
      case HookEventKind::Move:
      case HookEventKind::LeftUp:
      case HookEventKind::RightUp:
      case HookEventKind::OtherButtonUp:
      case HookEventKind::KeyUp:
        break;
    }
  }
}

SystemInputHooks::SystemInputHooks() = default;

SystemInputHooks::~SystemInputHooks() { Stop(); }

bool SystemInputHooks::Start(std::function<void()> lost) {
  if (thread_) return true;
  auto hookThread = std::make_unique<InputHookThread>(std::move(lost));
  if (!hookThread->HasEvents()) return false;
  InputHookThread* raw = hookThread.get();
  if (!StartThread([raw] { raw->Run(); })) return false;
  WaitForSingleObject(raw->ready, INFINITE);
  if (raw->installed) {
    thread_ = std::move(hookThread);
    return true;
  }
  WaitForSingleObject(raw->finished, INFINITE);
  return false;
}

HookCapture SystemInputHooks::Stop() {
  if (!thread_) return {};
  SetEvent(thread_->stop);
  WaitForSingleObject(thread_->finished, INFINITE);
  HookCapture capture{std::move(thread_->keysDownAtStart), thread_->store.Collect()};
  thread_.reset();
  return capture;
}

std::uint32_t SystemInputHooks::DoubleClickTimeMs() { return GetDoubleClickTime(); }

}  // namespace kestro
