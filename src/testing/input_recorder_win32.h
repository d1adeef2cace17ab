// Watches injected input with low-level mouse and keyboard hooks, as any
// other program on the desktop sees it. Windows only; for tests.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace kestro {

// Hooks on a thread of their own with a message loop, recording events as
// "lbutton down", "key 65 up" and so on; only injected events count. Keys
// are swallowed unless asked otherwise, so a test's keystrokes reach no
// window (but then no hotkey either).
class InputRecorder {
 public:
  explicit InputRecorder(bool swallowKeys = true) : swallowKeys_(swallowKeys) {
    instance_ = this;
    thread_ = std::thread([this] { Loop(); });
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [this] { return threadId_ != 0; });
  }
  ~InputRecorder() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    instance_ = nullptr;
  }

  // Waits until `count` events arrived (or the limit passed), then returns
  // them and starts afresh.
  std::vector<std::string> Take(std::size_t count, int limitMs = 2000) {
    for (int i = 0; i < limitMs / 10; ++i) {
      {
        std::lock_guard lock(mutex_);
        if (events_.size() >= count) break;
      }
      Sleep(10);
    }
    Sleep(50);  // let stray extra events show up, so the count is checked too
    std::lock_guard lock(mutex_);
    return std::exchange(events_, {});
  }

 private:
  void Loop() {
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

  void Add(std::string event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
  }

  static LRESULT CALLBACK MouseProc(int code, WPARAM message, LPARAM data) {
    auto* info = reinterpret_cast<MSLLHOOKSTRUCT*>(data);
    if (code == HC_ACTION && (info->flags & LLMHF_INJECTED)) {
      switch (message) {
        case WM_LBUTTONDOWN:
          instance_->Add("lbutton down");
          break;
        case WM_LBUTTONUP:
          instance_->Add("lbutton up");
          break;
        case WM_RBUTTONDOWN:
          instance_->Add("rbutton down");
          break;
        case WM_RBUTTONUP:
          instance_->Add("rbutton up");
          break;
        case WM_MOUSEMOVE:
          instance_->Add("move");
          break;
      }
    }
    return CallNextHookEx(nullptr, code, message, data);
  }

  static LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM data) {
    auto* info = reinterpret_cast<KBDLLHOOKSTRUCT*>(data);
    if (code == HC_ACTION && (info->flags & LLKHF_INJECTED)) {
      bool up = (info->flags & LLKHF_UP) != 0;
      instance_->Add("key " + std::to_string(info->vkCode) + (up ? " up" : " down"));
    }
    if (code == HC_ACTION && instance_->swallowKeys_) return 1;
    return CallNextHookEx(nullptr, code, message, data);
  }

  static inline InputRecorder* instance_ = nullptr;
  bool swallowKeys_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable ready_;
  DWORD threadId_ = 0;
  std::vector<std::string> events_;
};

}  // namespace kestro
