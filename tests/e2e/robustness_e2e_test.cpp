// The program under stress: the script list edited while runs copy it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "kestro_process.h"
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

}  // namespace
}  // namespace kestro::e2e
