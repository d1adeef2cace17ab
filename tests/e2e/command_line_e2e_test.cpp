// Playing a script file from the command line, as a shortcut or the task
// scheduler does: the starting process ends with the outcome, plays the
// file itself in the notification area or hands it to the copy that runs
// already, and never shows a box for a bad start.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "kestro_process.h"
#include "resource_ids.h"
#include "testing/gbk_literal.h"
#include "testing/input_timeline_win32.h"

namespace kestro::e2e {
namespace {

// A folder and a file name that GBK cannot hold, and a blank in each.
const std::wstring kFolder = L"宏工具 テスト ✓";
const std::wstring kScript = L"例子 ✓.ini";

// Two taps of F9, a key nothing here reacts to, in a script file.
void WriteScript(const std::filesystem::path& folder) {
  std::string text =
      "执行次数:5\r\n\r\n脚本开始.\r\n单击键盘:(F9);\r\n等待时间:20;\r\n"
      "单击键盘:(F9);\r\n脚本结束."_gbk;
  std::ofstream(folder / kScript, std::ios::binary) << text;
}

void PressHotkey(BYTE key) {
  keybd_event(VK_CONTROL, 0, 0, 0);
  keybd_event(key, 0, 0, 0);
  keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

// The F9 presses the hooks saw so far, added to `count`.
int CountF9(InputTimeline& hooks, int& count) {
  for (const TimedInput& event : hooks.Take()) count += event.what == "key 120 down";
  return count;
}

// A start of the program in the folder with these arguments.
class Start : public KestroProcess {
 public:
  explicit Start(const std::wstring& arguments)
      : KestroProcess(L"kestro.exe", L"kestro.exe", WriteScript, kFolder, arguments) {}
};

// Played by the start itself, hidden in the notification area: once or N
// times, its exit code 0; in a loop until the stop hotkey, 1.
TEST(CommandLineTest, AStartPlaysTheFileAndEndsWithTheOutcome) {
  struct Case {
    std::wstring arguments;
    int presses;
    bool stop;
    long exitCode;
  } cases[] = {
      {L"--play \"" + kScript + L"\"", 2, false, 0},
      {L"--play \"" + kScript + L"\" --count 2", 4, false, 0},
      {L"--loop --play \"" + kScript + L"\"", 2, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.arguments.begin(), c.arguments.end()));
    auto hooks = std::make_unique<InputTimeline>(Swallow::InjectedKeysAndButtons);
    Start start(c.arguments);
    int presses = 0;
    ASSERT_TRUE(WaitUntil([&] { return CountF9(*hooks, presses) >= c.presses; }, 10000));
    EXPECT_TRUE(start.OtherWindows().empty());  // no window shown, no box
    // The hooks swallow injected keys, the hotkey's among them.
    if (c.stop) {
      hooks.reset();
      PressHotkey('T');
    }
    EXPECT_EQ(start.WaitForExit(10000), c.exitCode);
    if (hooks) {
      EXPECT_EQ(CountF9(*hooks, presses), c.presses);
    }
  }
}

// With a copy running, the start hands the file to it: that copy plays it
// without touching its list, and the start ends with the outcome. While the
// copy records, nothing is played and the start ends with 3.
TEST(CommandLineTest, ARunningCopyPlaysWhatALaterStartHandsIt) {
  KestroProcess running;
  ASSERT_NE(running.WaitForMainWindow(), nullptr);
  running.AddListLine(L"等待时间:5;");
  InputTimeline hooks(Swallow::InjectedKeysAndButtons);
  {
    Start start(L"--play \"" + kScript + L"\"");
    EXPECT_EQ(start.WaitForExit(15000), 0);
  }
  int presses = 0;
  EXPECT_EQ(CountF9(hooks, presses), 2);
  EXPECT_EQ(running.ListLines(), std::vector<std::wstring>{L"等待时间:5;"});
  EXPECT_EQ(running.StatusText(0), L"执行脚本结束!");

  running.Command(IDM_RECORD);
  ASSERT_TRUE(WaitUntil([&] { return running.StatusText(0) == L"正在录制..."; }));
  {
    Start start(L"--play \"" + kScript + L"\"");
    EXPECT_EQ(start.WaitForExit(15000), 3);
  }
  running.Command(IDM_RECORD);
  EXPECT_EQ(CountF9(hooks, presses), 2);
}

// A start that cannot play ends at once, and never with a box: a missing
// file 2, bad arguments 4. Only --help shows its box.
TEST(CommandLineTest, ABadStartEndsAtOnceWithoutABox) {
  struct Case {
    const wchar_t* arguments;
    long exitCode;
  } cases[] = {
      {L"--play missing.ini", 2},     {L"--play", 4},  {L"--count 2", 4},
      {L"--play a.ini --count 0", 4}, {L"--bogus", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.arguments, c.arguments + wcslen(c.arguments)));
    Start start(c.arguments);
    EXPECT_EQ(start.WaitForExit(5000), c.exitCode);
  }
  Start help(L"--help");
  BoxContent box = help.WaitForBox(L"Zelmo按键-命令行");
  ASSERT_NE(box.window, nullptr);
  EXPECT_EQ(box.text.substr(0, 3), L"用法：");
  AnswerBox(box.window, IDOK);
  EXPECT_EQ(help.WaitForExit(5000), 0);
}

}  // namespace
}  // namespace kestro::e2e
