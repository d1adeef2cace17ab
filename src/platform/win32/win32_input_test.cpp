// Plays input through the real Win32 calls and watches it arrive with
// low-level hooks, as any other program on the desktop would see it.
#include "platform/win32/win32_input.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "runner/line_executor.h"
#include "testing/fake_main_window.h"

namespace kestro {
namespace {

// Hooks on a thread of their own with a message loop, recording events as
// "lbutton down", "key 65 up" and so on; only injected events count.
class InputRecorder {
 public:
  InputRecorder() {
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

  // Waits until `count` events arrived (or a generous limit passed), then
  // returns them and starts afresh.
  std::vector<std::string> Take(std::size_t count) {
    for (int i = 0; i < 200; ++i) {
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
        case WM_LBUTTONDOWN: instance_->Add("lbutton down"); break;
        case WM_LBUTTONUP: instance_->Add("lbutton up"); break;
        case WM_RBUTTONDOWN: instance_->Add("rbutton down"); break;
        case WM_RBUTTONUP: instance_->Add("rbutton up"); break;
        case WM_MOUSEMOVE: instance_->Add("move"); break;
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
    // Swallow the keys so the test's own keystrokes reach no window.
    return code == HC_ACTION ? 1 : CallNextHookEx(nullptr, code, message, data);
  }

  static inline InputRecorder* instance_ = nullptr;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable ready_;
  DWORD threadId_ = 0;
  std::vector<std::string> events_;
};

using Events = std::vector<std::string>;

TEST(Win32InputTest, MouseFlagsArriveAsTheirButtonEvents) {
  InputRecorder recorder;
  Win32Input input;
  struct Case {
    std::uint32_t flags;
    Events events;
  } cases[] = {
      {kMouseLeftDown | kMouseLeftUp, {"lbutton down", "lbutton up"}},
      {kMouseRightDown | kMouseRightUp, {"rbutton down", "rbutton up"}},
      {kMouseLeftDown, {"lbutton down"}},
      {kMouseLeftUp, {"lbutton up"}},
      {kMouseRightDown, {"rbutton down"}},
      {kMouseRightUp, {"rbutton up"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flags);
    input.MouseEvent(c.flags);
    EXPECT_EQ(recorder.Take(c.events.size()), c.events);
  }
}

TEST(Win32InputTest, KeyEventsCarryTheirVirtualKeyAndUpFlag) {
  InputRecorder recorder;
  Win32Input input;
  input.KeyEvent(0x41, false);
  input.KeyEvent(0x41, true);
  input.KeyEvent(VK_RETURN, false);
  input.KeyEvent(VK_RETURN, true);
  EXPECT_EQ(recorder.Take(4), (Events{"key 65 down", "key 65 up", "key 13 down", "key 13 up"}));
}

TEST(Win32InputTest, ScriptLinesPlayInTheirOrder) {
  InputRecorder recorder;
  Win32Input input;
  FakeMainWindow window;
  // A shifted character: Shift wraps the tap. Shift arrives as the generic
  // or the left Shift key, depending on the system.
  ExecuteLine("单击键盘:A;", input, window);
  Events events = recorder.Take(4);
  ASSERT_EQ(events.size(), 4u);
  for (std::string* shift : {&events[0], &events[3]}) {
    if (shift->rfind("key 160 ", 0) == 0) shift->replace(4, 3, "16");
  }
  EXPECT_EQ(events, (Events{"key 16 down", "key 65 down", "key 65 up", "key 16 up"}));

  ExecuteLine("单击键盘:(回车键);", input, window);
  ExecuteLine("双击鼠标:左键;", input, window);
  EXPECT_EQ(recorder.Take(6), (Events{"key 13 down", "key 13 up", "lbutton down", "lbutton up",
                                      "lbutton down", "lbutton up"}));
  EXPECT_TRUE(window.messages.empty());
}

TEST(Win32InputTest, CursorMovesAreReadBack) {
  Win32Input input;
  for (POINT target : {POINT{123, 234}, POINT{0, 0}, POINT{640, 480}}) {
    input.MoveCursor(target.x, target.y);
    POINT now{};
    ASSERT_TRUE(GetCursorPos(&now));
    EXPECT_EQ(now.x, target.x);
    EXPECT_EQ(now.y, target.y);
  }
}

TEST(Win32InputTest, CharactersScanOnTheUsLayout) {
  Win32Input input;
  EXPECT_EQ(input.ScanCharacter('a'), 0x41);
  EXPECT_EQ(input.ScanCharacter('A'), 0x141);
  EXPECT_EQ(input.ScanCharacter('1'), 0x31);
  EXPECT_EQ(input.ScanCharacter('!'), 0x131);
}

}  // namespace
}  // namespace kestro
