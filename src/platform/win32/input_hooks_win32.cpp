#include <windows.h>

#include <utility>

#include "platform/input_hooks.h"
#include "platform/precise_wait.h"
#include "platform/threads.h"

namespace kestro {

// One recording's hook thread. The hook procedures run on it, inside its
// message loop, and only timestamp and queue; whether a press was aimed at
// this program's windows is looked up by the loop right after each hook
// call has returned, so no hook ever waits on a window query.
// The thread comes from StartThread, so a system that cannot start one
// refuses the recording instead of ending the program; the events say when
// the hooks are in place and when the thread is done with this object.
struct InputHookThread {
  InputHookThread() {
    // Room for a long recording without a reallocation inside a hook.
    capture.events.reserve(1 << 14);
  }
  ~InputHookThread() {
    for (HANDLE event : {stop, ready, finished}) {
      if (event) CloseHandle(event);
    }
  }
  InputHookThread(const InputHookThread&) = delete;
  InputHookThread& operator=(const InputHookThread&) = delete;

  bool HasEvents() const { return stop && ready && finished; }
  void Run();
  void PumpUntilStopped();
  void MarkPressesAtOwnWindows();

  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  bool installed = false;  // read once ready is set
  HookCapture capture;
  std::size_t marked = 0;  // events before this one are marked already
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
  }
  return false;  // the wheels
}

LRESULT CALLBACK MouseHook(int code, WPARAM message, LPARAM data) {
  HookEventKind kind;
  if (code == HC_ACTION && g_hookThread && MouseKind(message, kind)) {
    const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    HookEvent event;
    event.kind = kind;
    event.timeUs = MonotonicMicroseconds();
    event.x = info.pt.x;
    event.y = info.pt.y;
    g_hookThread->capture.events.push_back(event);
  }
  return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION && g_hookThread) {
    const auto& info = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    HookEvent event;
    event.kind = (info.flags & LLKHF_UP) ? HookEventKind::KeyUp : HookEventKind::KeyDown;
    event.timeUs = MonotonicMicroseconds();
    event.virtualKey = static_cast<std::uint8_t>(info.vkCode & 0xFF);
    g_hookThread->capture.events.push_back(event);
  }
  return CallNextHookEx(nullptr, code, message, data);
}

// Mouse buttons have virtual keys too; GetAsyncKeyState reports them.
bool IsMouseButtonKey(int virtualKey) {
  return virtualKey == VK_LBUTTON || virtualKey == VK_RBUTTON || virtualKey == VK_MBUTTON ||
         virtualKey == VK_XBUTTON1 || virtualKey == VK_XBUTTON2;
}

}  // namespace

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
  SetEvent(ready);
  if (installed) PumpUntilStopped();
  if (mouse) UnhookWindowsHookEx(mouse);
  if (keyboard) UnhookWindowsHookEx(keyboard);
  MarkPressesAtOwnWindows();
  g_hookThread = nullptr;
  SetEvent(finished);  // the last touch: the owner may free this now
}

// The system calls low-level hooks from inside this thread's message
// functions; after each round the new presses are looked at.
void InputHookThread::PumpUntilStopped() {
  for (;;) {
    DWORD woken = MsgWaitForMultipleObjectsEx(1, &stop, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MarkPressesAtOwnWindows();
    if (woken != WAIT_OBJECT_0 + 1) return;  // stopped, or the wait failed
  }
}

// A button goes to the window under the cursor, a key to the window in
// front. Only presses are looked at: a release follows its press.
void InputHookThread::MarkPressesAtOwnWindows() {
  for (; marked < capture.events.size(); ++marked) {
    HookEvent& event = capture.events[marked];
    switch (event.kind) {
      case HookEventKind::LeftDown:
      case HookEventKind::RightDown:
      case HookEventKind::OtherButtonDown:
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

bool SystemInputHooks::Start() {
  if (thread_) return true;
  auto hookThread = std::make_unique<InputHookThread>();
  if (!hookThread->HasEvents()) return false;
  for (int key = 1; key < 255; ++key) {
    if (IsMouseButtonKey(key)) continue;
    if (GetAsyncKeyState(key) & 0x8000) {
      hookThread->capture.keysDownAtStart.push_back(static_cast<std::uint8_t>(key));
    }
  }
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
  HookCapture capture = std::move(thread_->capture);
  thread_.reset();
  return capture;
}

std::uint32_t SystemInputHooks::DoubleClickTimeMs() { return GetDoubleClickTime(); }

}  // namespace kestro
