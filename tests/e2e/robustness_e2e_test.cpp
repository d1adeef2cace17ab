// The program under stress: the script list edited while runs copy it, the
// shell restarting, a second start, and ending in the middle of a run.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

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

// Minimised into an icon the user cannot find, the program comes back when
// it is started again; still only one copy runs.
TEST(RobustnessTest, ASecondStartBringsBackAHiddenWindow) {
  KestroProcess first;
  ASSERT_NE(first.WaitForMainWindow(), nullptr);
  PostMessageW(first.main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(first.main()); }));

  KestroProcess second;
  EXPECT_EQ(second.WaitForExit(), 0);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(first.main()) && !IsIconic(first.main()); }));
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
