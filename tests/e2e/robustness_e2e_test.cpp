// The program under stress: the script list edited while runs copy it, the
// shell restarting, a second start, and ending in the middle of a run (its
// held keys and its tray icon).
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "kestro_process.h"
// after windows.h, which it needs
#include <shellapi.h>

#include "resource_ids.h"
#include "testing/input_recorder_win32.h"

namespace kestro::e2e {
namespace {

// F1 as a short line, F2 as a line of 5,000 characters: the text after the
// blank is ignored when it runs.
const std::wstring kShortLine = L"单击键盘:(F1);";
const std::wstring kLongLine = L"单击键盘:(F2); " + std::wstring(4985, L'x');

void AddLine(HWND list, const std::wstring& line) {
  SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

// Swaps lines between their short and long forms, one after another, as fast
// as the program takes the messages, until told to stop. The new form goes in
// before the old one goes, so the list holds `count` or `count` + 1 lines.
class ListChurner {
 public:
  ListChurner(HWND list, int count)
      : thread_([this, list, count] {
          for (int i = 0; !stop_; i = (i + 1) % count) {
            bool isLong = SendMessageW(list, LB_GETTEXTLEN, i, 0) > 100;
            const std::wstring& line = isLong ? kShortLine : kLongLine;
            SendMessageW(list, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(line.c_str()));
            SendMessageW(list, LB_DELETESTRING, i + 1, 0);
          }
        }) {}
  ~ListChurner() {
    stop_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Each run copies the list while another program lengthens and shortens its
// lines. A copy that read a line's length and then its text in two steps
// wrote the long text into a buffer sized for the short one.
TEST(RobustnessTest, RunsCopyTheListWholeWhileItIsEdited) {
  KestroProcess kestro;
  ASSERT_NE(kestro.WaitForMainWindow(), nullptr);
  HWND list = kestro.Control(IDC_SCRIPT_LIST);
  constexpr int kCopiedLines = 1000;
  for (int i = 0; i < kCopiedLines; ++i) AddLine(list, i % 2 ? kLongLine : kShortLine);

  // A repeat count of 0 copies the list and plays nothing: many copies fast.
  kestro.SetText(IDC_REPEAT_COUNT, L"0");
  {
    ListChurner churner(list, kCopiedLines);
    for (int run = 0; run < 10; ++run) {
      kestro.SetStatusText(0, L"");
      kestro.Command(IDM_RUN);
      ASSERT_TRUE(WaitUntil([&] { return kestro.StatusText(0) == L"执行脚本结束!"; }, 10000))
          << "run " << run;
    }
  }
  ASSERT_EQ(kestro.WaitForExit(0), -1) << "the program ended";

  // One played pass: every line of the copy is whole, so each one taps F1 or
  // F2 once, and there are as many taps as lines at one moment.
  constexpr int kPlayedLines = 150;
  kestro.Command(IDM_CLEAR_LIST);
  ASSERT_TRUE(WaitUntil([&] { return kestro.ListLines().empty(); }));
  for (int i = 0; i < kPlayedLines; ++i) AddLine(list, i % 2 ? kLongLine : kShortLine);
  kestro.SetText(IDC_REPEAT_COUNT, L"1");
  InputRecorder recorder;
  {
    ListChurner churner(list, kPlayedLines);
    kestro.Command(IDM_RUN);
    ASSERT_TRUE(WaitUntil([&] { return kestro.StatusText(1) == L"执行脚本1次"; }, 10000));
  }
  std::vector<std::string> events;
  for (const std::string& event : recorder.Take(2 * kPlayedLines + 2)) {
    if (event != "move") events.push_back(event);
  }
  ASSERT_TRUE(events.size() == 2u * kPlayedLines || events.size() == 2u * kPlayedLines + 2)
      << events.size();
  for (std::size_t i = 0; i < events.size(); i += 2) {
    std::string key = events[i].substr(0, events[i].find(' ', 4));
    EXPECT_TRUE(key == "key 112" || key == "key 113") << events[i];
    EXPECT_EQ(events[i], key + " down");
    EXPECT_EQ(events[i + 1], key + " up");
  }
}

// A shell that restarts has lost every icon and says so with a broadcast;
// the program adds its icon again, or a hidden window could never return.
TEST(RobustnessTest, TheTrayIconComesBackWhenTheShellRestarts) {
  KestroProcess kestro;
  ASSERT_NE(kestro.WaitForMainWindow(), nullptr);
  NOTIFYICONDATAW icon{};
  icon.cbSize = NOTIFYICONDATAW_V1_SIZE;
  icon.hWnd = kestro.main();
  icon.uID = IDI_APP;
  // A modification that changes nothing succeeds only while the icon exists.
  auto iconExists = [&] { return Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE; };
  ASSERT_TRUE(WaitUntil(iconExists));
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
  ASSERT_FALSE(iconExists());

  DWORD_PTR result = 0;
  SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0,
                      SMTO_ABORTIFHUNG, 2000, &result);
  EXPECT_TRUE(WaitUntil(iconExists));
}

// A second start ends at once and leaves the running copy as it is, also
// when that one is hidden in the notification area: no window, no message.
TEST(RobustnessTest, ASecondStartLeavesAHiddenFirstCopyHidden) {
  KestroProcess first;
  ASSERT_NE(first.WaitForMainWindow(), nullptr);
  PostMessageW(first.main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(first.main()); }));

  KestroProcess second;
  EXPECT_EQ(second.WaitForExit(), 0);
  Sleep(500);
  EXPECT_FALSE(IsWindowVisible(first.main()));
  EXPECT_TRUE(first.OtherWindows().empty());
}

// Stands in for the shell's notification area: Shell_NotifyIcon finds the
// shell's tray window by its class and hands it every change of an icon in a
// WM_COPYDATA message. Windows sends a signed record with the change in it,
// Wine the change as the message's number.
class FakeTray {
 public:
  FakeTray() {
    thread_ = std::thread([this] {
      WNDCLASSW windowClass{};
      windowClass.lpfnWndProc = Procedure;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.lpszClassName = L"Shell_TrayWnd";
      RegisterClassW(&windowClass);
      HWND window = CreateWindowExW(0, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                    nullptr, windowClass.hInstance, nullptr);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
      threadId_ = GetCurrentThreadId();
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
      DestroyWindow(window);
      UnregisterClassW(L"Shell_TrayWnd", windowClass.hInstance);
    });
    WaitUntil([this] { return threadId_.load() != 0; });
  }
  ~FakeTray() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }

  // The changes seen for the icons of a window: NIM_ADD, NIM_DELETE, ...
  std::vector<DWORD> ChangesOf(HWND owner) {
    std::lock_guard lock(mutex_);
    std::vector<DWORD> changes;
    for (const auto& [window, change] : changes_) {
      if (window == owner) changes.push_back(change);
    }
    return changes;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* tray = reinterpret_cast<FakeTray*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != WM_COPYDATA || !tray) return DefWindowProcW(window, message, wParam, lParam);
    const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const auto* words = static_cast<const DWORD*>(data.lpData);
    constexpr DWORD kSignature = 0x34753423;
    bool signedRecord = data.cbData >= 8 && words[0] == kSignature;
    std::lock_guard lock(tray->mutex_);
    tray->changes_.push_back({reinterpret_cast<HWND>(wParam),
                              signedRecord ? words[1] : static_cast<DWORD>(data.dwData)});
    return TRUE;
  }

  std::thread thread_;
  std::atomic<DWORD> threadId_{0};
  std::mutex mutex_;
  std::vector<std::pair<HWND, DWORD>> changes_;
};

// Ending the dialog in the middle of a run still takes the icon away: the
// run does not hold up the end.
TEST(RobustnessTest, EndingDuringARunLeavesNoTrayIcon) {
  FakeTray tray;
  KestroProcess kestro;
  ASSERT_NE(kestro.WaitForMainWindow(), nullptr);
  HWND main = kestro.main();
  ASSERT_TRUE(WaitUntil([&] { return tray.ChangesOf(main) == std::vector<DWORD>{NIM_ADD}; }));
  kestro.Click(IDC_LOOP);
  ASSERT_TRUE(kestro.Insert(IDC_INSERT_WAIT));
  kestro.Command(IDM_RUN);
  ASSERT_TRUE(WaitUntil([&] { return kestro.StatusText(1) == L"执行脚本1次"; }, 5000));
  PostMessageW(kestro.Control(IDC_REPEAT_COUNT), WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_EQ(kestro.WaitForExit(), 0);
  EXPECT_EQ(tray.ChangesOf(main), (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));
}

bool IsShift(const std::string& event, const char* direction) {
  return event == std::string("key 16 ") + direction ||
         event == std::string("key 160 ") + direction;
}

// Esc in the middle of a run lets go of the Shift an earlier line pressed; a
// run that ended keeps holding it, as its script said.
TEST(RobustnessTest, EndingDuringARunReleasesTheKeysTheRunHolds) {
  InputRecorder recorder;
  for (bool duringARun : {false, true}) {
    SCOPED_TRACE(duringARun ? "during a run" : "after a run");
    KestroProcess kestro;
    ASSERT_NE(kestro.WaitForMainWindow(), nullptr);
    HWND list = kestro.Control(IDC_SCRIPT_LIST);
    AddLine(list, L"按住键盘:(SHIFT键);");
    AddLine(list, L"等待时间:100;");
    kestro.Command(IDM_RUN);
    ASSERT_TRUE(WaitUntil([&] { return kestro.StatusText(1) == L"执行脚本1次"; }, 8000));
    if (duringARun) {
      // The first run must be over before the next can start, and the
      // posted clear must be done before a line is added.
      ASSERT_TRUE(WaitUntil([&] { return kestro.StatusText(0) == L"执行脚本结束!"; }, 8000));
      kestro.Command(IDM_CLEAR_LIST);
      ASSERT_TRUE(WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 0; }));
      AddLine(list, L"等待时间:100;");
      kestro.Click(IDC_LOOP);
      kestro.Command(IDM_RUN);
      ASSERT_TRUE(WaitUntil([&] { return kestro.StatusText(1) == L"执行脚本2次"; }, 8000));
    }
    PostMessageW(kestro.Control(IDC_REPEAT_COUNT), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_EQ(kestro.WaitForExit(), 0);

    std::vector<std::string> keys;
    for (const std::string& event : recorder.Take(2, 1000)) {
      if (event != "move") keys.push_back(event);
    }
    ASSERT_FALSE(keys.empty());
    EXPECT_TRUE(IsShift(keys.front(), "down")) << keys.front();
    if (duringARun) {
      ASSERT_EQ(keys.size(), 2u);
      EXPECT_TRUE(IsShift(keys.back(), "up")) << keys.back();
    } else {
      EXPECT_EQ(keys.size(), 1u);
      keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);  // what the script left down
      recorder.Take(1, 500);
    }
  }
}

}  // namespace
}  // namespace kestro::e2e
