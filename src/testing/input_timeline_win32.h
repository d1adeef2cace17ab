// Watches all input, the user's (or the X server's) as well as injected
// input, with low-level hooks, and notes when each event came, as any other
// program on the desktop sees it. Windows only; for tests and benchmarks.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/precise_wait.h"

namespace kestro {

struct TimedInput {
  std::string what;  // "lbutton down", "rbutton up", "key 65 down", "move", "wheel -240"
  int x = 0;         // mouse events: the cursor
  int y = 0;
  std::int64_t timeUs = 0;  // MonotonicMicroseconds when the hook saw it
  bool injected = false;
  std::uintptr_t extraInfo = 0;  // what the injecting program passed along
};

// What the hooks keep from reaching any window: nothing; every key, so a
// test's keystrokes reach no window (but then no hotkey either); or the
// injected keys and button presses, so played input lands nowhere.
enum class Swallow { Nothing, Keys, InjectedKeysAndButtons };

// Hooks on a thread of their own with a message loop.
class InputTimeline {
 public:
  explicit InputTimeline(Swallow swallow = Swallow::Nothing) : swallow_(swallow) {
    instance_ = this;
    thread_ = std::thread([this] { Loop(); });
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [this] { return threadId_ != 0; });
  }
  ~InputTimeline() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    instance_ = nullptr;
  }
  InputTimeline(const InputTimeline&) = delete;
  InputTimeline& operator=(const InputTimeline&) = delete;

  // Everything seen since the last call.
  std::vector<TimedInput> Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(events_, {});
  }

 private:
  void Loop() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    HMODULE module = GetModuleHandleW(nullptr);
    HHOOK mouse = SetWindowsHookExW(WH_MOUSE_LL, MouseProc, module, 0);
    HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardProc, module, 0);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // makes the queue
    {
      std::lock_guard lock(mutex_);
      threadId_ = GetCurrentThreadId();
    }
    ready_.notify_all();
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    UnhookWindowsHookEx(mouse);
    UnhookWindowsHookEx(keyboard);
  }

  void Add(TimedInput event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
  }

  static LRESULT CALLBACK MouseProc(int code, WPARAM message, LPARAM data) {
    const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    const char* what = nullptr;
    switch (message) {
      case WM_LBUTTONDOWN:
        what = "lbutton down";
        break;
      case WM_LBUTTONUP:
        what = "lbutton up";
        break;
      case WM_RBUTTONDOWN:
        what = "rbutton down";
        break;
      case WM_RBUTTONUP:
        what = "rbutton up";
        break;
      case WM_MOUSEMOVE:
        what = "move";
        break;
      case WM_MOUSEWHEEL:
        what = "wheel";
        break;
    }
    if (code != HC_ACTION || !what) return CallNextHookEx(nullptr, code, message, data);
    bool injected = (info.flags & LLMHF_INJECTED) != 0;
    std::string name = what;
    if (message == WM_MOUSEWHEEL) {
      name += " " + std::to_string(static_cast<short>(HIWORD(info.mouseData)));
    }
    instance_->Add(
        {name, info.pt.x, info.pt.y, MonotonicMicroseconds(), injected, info.dwExtraInfo});
    bool button = message != WM_MOUSEMOVE;  // and the wheel
    if (injected && button && instance_->swallow_ == Swallow::InjectedKeysAndButtons) return 1;
    return CallNextHookEx(nullptr, code, message, data);
  }

  static LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM data) {
    const auto& info = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (code != HC_ACTION) return CallNextHookEx(nullptr, code, message, data);
    bool up = (info.flags & LLKHF_UP) != 0;
    bool injected = (info.flags & LLKHF_INJECTED) != 0;
    instance_->Add({"key " + std::to_string(info.vkCode) + (up ? " up" : " down"), 0, 0,
                    MonotonicMicroseconds(), injected, info.dwExtraInfo});
    switch (instance_->swallow_) {
      case Swallow::Nothing:
        break;
      case Swallow::Keys:
        return 1;
      case Swallow::InjectedKeysAndButtons:
        if (injected) return 1;
        break;
    }
    return CallNextHookEx(nullptr, code, message, data);
  }

  static inline InputTimeline* instance_ = nullptr;
  const Swallow swallow_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable ready_;
  DWORD threadId_ = 0;
  std::vector<TimedInput> events_;
};

}  // namespace kestro
