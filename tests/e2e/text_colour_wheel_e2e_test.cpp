// The lines that type text, wait for a colour and turn the wheel, made in
// the editor and played into other windows, as a user would. (Wheel lines
// play in the recording scenarios: a recorded scroll replays at its place.)
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "colour_patch.h"
#include "kestro_process.h"
#include "resource_ids.h"
#include "testing/input_timeline_win32.h"

namespace kestro::e2e {
namespace {

double NowMs() { return static_cast<double>(MonotonicMicroseconds()) / 1000.0; }

// An edit box of this program in front, on a thread of its own that keeps
// its messages flowing, so typed characters land in it.
class TypingTarget {
 public:
  TypingTarget() {
    thread_ = std::thread([this] {
      edit_ = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 80,
                              nullptr, nullptr, nullptr, nullptr);
      SetForegroundWindow(edit_);
      SetFocus(edit_);
      threadId_ = GetCurrentThreadId();
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      DestroyWindow(edit_);
    });
    WaitUntil([this] { return threadId_.load() != 0; });
  }
  ~TypingTarget() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  std::wstring Text() const { return WindowText(edit_); }

 private:
  std::thread thread_;
  HWND edit_ = nullptr;
  std::atomic<DWORD> threadId_{0};
};

class TextColourWheelTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(kestro_.WaitForMainWindow(), nullptr); }

  bool RunEnds(const std::wstring& status, int limitMs = 10000) {
    return WaitUntil([&] { return kestro_.StatusText(0) == status; }, limitMs);
  }

  KestroProcess kestro_;
};

// The editor writes the escapes; the run types the text, Chinese and
// blanks included, into another program's edit box whatever its layout.
// A character GBK has not is refused.
TEST_F(TextColourWheelTest, TypesTextIntoAnotherProgram) {
  const std::wstring text = L"张三，你好！Abc 1.5;";
  kestro_.SetText(IDC_TYPE_TEXT, text);
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_TEXT));
  EXPECT_EQ(kestro_.ListLines(),
            std::vector<std::wstring>{L"输入文字:张三，你好！Abc\\x201\\x2E5\\x3B;"});

  kestro_.SetText(IDC_TYPE_TEXT, L"a\U0001F600");
  kestro_.Click(IDC_INSERT_TEXT);
  BoxContent refusal = kestro_.WaitForBox(L"提示");
  ASSERT_NE(refusal.window, nullptr);
  EXPECT_EQ(refusal.text, L"文字中有本程序无法保存的字符，请换用其他字符");
  AnswerBox(refusal.window, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return kestro_.OtherWindows().empty(); }));
  EXPECT_EQ(kestro_.ListLines().size(), 1u);

  TypingTarget target;
  kestro_.Command(IDM_RUN);
  ASSERT_TRUE(RunEnds(L"执行脚本结束!"));
  EXPECT_TRUE(WaitUntil([&] { return target.Text() == text; })) << target.Text().size();
}

// A patch turns to the awaited colour 700 ms into the wait (the run's
// first line begins 1,010 ms after its command): the key after the wait
// comes its line's 10 ms after the change, within one look (10 ms) and a
// margin, and never before.
TEST_F(TextColourWheelTest, AColourWaitGoesOnWhenTheColourComes) {
  ColourPatch patch(RGB(0x10, 0x20, 0x30), RECT{600, 600, 640, 640});
  kestro_.AddListLine(L"等待颜色:620,620,563412,5000;");  // RGB(0x12, 0x34, 0x56)
  kestro_.AddListLine(L"单击键盘:(F9);");
  InputTimeline hooks(Swallow::InjectedKeysAndButtons);
  double command = NowMs();
  kestro_.Command(IDM_RUN);
  while (NowMs() < command + 1010 + 700) Sleep(1);
  patch.SetColour(RGB(0x12, 0x34, 0x56));
  double change = NowMs();
  double key = -1;
  ASSERT_TRUE(WaitUntil([&] {
    for (const TimedInput& event : hooks.Take()) {
      if (event.what == "key 120 down") key = static_cast<double>(event.timeUs) / 1000.0;
    }
    return key >= 0;
  }));
  EXPECT_GE(key - change, 10.0);
  EXPECT_LE(key - change, 10.0 + 15.0);
  EXPECT_TRUE(RunEnds(L"执行脚本结束!"));
}

// A colour that never comes ends the run at its time limit; a stop request
// ends a long wait at once. Either way the rest of the pass is not played.
TEST_F(TextColourWheelTest, ATimeLimitOrAStopEndsTheRun) {
  ColourPatch patch(RGB(0x10, 0x20, 0x30), RECT{600, 600, 640, 640});
  struct Case {
    const wchar_t* line;
    double stopAfterMs;  // from the run command; 0: no stop
    const wchar_t* status;
    double endsByMs;
  } cases[] = {
      {L"等待颜色:620,620,FFFFFF,300;", 0, L"等待颜色超时，已停止", 1010 + 300 + 200},
      {L"等待颜色:620,620,FFFFFF,60000;", 1500, L"执行脚本结束!", 1500 + 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    kestro_.Command(IDM_CLEAR_LIST);
    ASSERT_TRUE(WaitUntil([&] { return kestro_.ListLines().empty(); }));
    kestro_.AddListLine(c.line);
    kestro_.AddListLine(L"单击键盘:(F9);");
    InputTimeline hooks(Swallow::InjectedKeysAndButtons);
    kestro_.SetStatusText(0, L"");
    double command = NowMs();
    kestro_.Command(IDM_RUN);
    if (c.stopAfterMs > 0) {
      while (NowMs() < command + c.stopAfterMs) Sleep(1);
      kestro_.Command(IDM_STOP);
    }
    ASSERT_TRUE(RunEnds(c.status));
    EXPECT_LE(NowMs() - command, c.endsByMs);
    EXPECT_EQ(kestro_.StatusText(1), L"");  // no pass came to its end
    Sleep(100);
    for (const TimedInput& event : hooks.Take()) EXPECT_NE(event.what, "key 120 down");
  }
}

// The three lines, escapes and all, are saved and come back as they were.
TEST_F(TextColourWheelTest, TheNewLinesSaveAndLoadUnchanged) {
  kestro_.SetText(IDC_TYPE_TEXT, L"A. B;\\");
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_TEXT));
  kestro_.SetText(IDC_COLOUR_VALUE, L"00FF7F");
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_COLOUR));
  kestro_.SetText(IDC_WHEEL_NOTCHES, L"-3");
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_WHEEL));
  const std::vector<std::wstring> lines = {L"输入文字:A\\x2E\\x20B\\x3B\\x5C;",
                                           L"等待颜色:0,0,00FF7F,10000;", L"滚动鼠标:-3;"};
  ASSERT_EQ(kestro_.ListLines(), lines);

  kestro_.Command(IDM_SAVE);
  HWND save = kestro_.WaitForBox().window;
  ASSERT_NE(save, nullptr);
  ASSERT_TRUE(ChooseFileInDialog(save, kestro_.folder() / L"三行"));
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(kestro_.folder() / L"三行.ini"); }));
  kestro_.Command(IDM_CLEAR_LIST);
  kestro_.Command(IDM_OPEN);
  HWND open = kestro_.WaitForBox().window;
  ASSERT_NE(open, nullptr);
  ASSERT_TRUE(ChooseFileInDialog(open, kestro_.folder() / L"三行.ini"));
  EXPECT_TRUE(WaitUntil([&] { return kestro_.ListLines() == lines; }));
}

}  // namespace
}  // namespace kestro::e2e
