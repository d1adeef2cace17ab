// The main window as a user meets it: start-up, the editor, runs and stops,
// help boxes, minimising, and the end of the program.
#include <gtest/gtest.h>

#include <set>

#include "kestro_process.h"
#include "resource_ids.h"
#include "testing/input_recorder_win32.h"

namespace kestro::e2e {
namespace {

using Lines = std::vector<std::wstring>;

BOOL CALLBACK CollectChildText(HWND child, LPARAM data) {
  reinterpret_cast<std::set<std::wstring>*>(data)->insert(WindowText(child));
  return TRUE;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(kestro_.WaitForMainWindow(), nullptr); }

  bool ListIs(const Lines& lines) {
    return WaitUntil([&] { return kestro_.ListLines() == lines; });
  }

  KestroProcess kestro_;
};

TEST_F(MainWindowTest, StartsWithItsControlsMenuAndTexts) {
  EXPECT_EQ(WindowText(kestro_.main()), L"Zelmo按键");
  EXPECT_EQ(kestro_.Text(IDC_MOUSE_CHOICE), L"单击鼠标:左键");
  EXPECT_EQ(kestro_.Text(IDC_KEY_ACTION), L"单击键盘:");
  EXPECT_EQ(kestro_.Text(IDC_SPECIAL_ACTION), L"单击键盘:");
  EXPECT_EQ(kestro_.Text(IDC_SPECIAL_KEY), L"退格键");
  EXPECT_EQ(kestro_.Text(IDC_KEY_CHAR), L"a");
  EXPECT_EQ(kestro_.Text(IDC_REPEAT_COUNT), L"1");
  EXPECT_EQ(kestro_.Text(IDC_WAIT_MS), L"1000");
  EXPECT_EQ(kestro_.Text(IDC_TARGET_X), L"0");
  EXPECT_EQ(kestro_.Text(IDC_TARGET_Y), L"0");
  EXPECT_FALSE(kestro_.IsChecked(IDC_LOOP));
  EXPECT_TRUE(kestro_.ListLines().empty());

  EXPECT_EQ(kestro_.ComboEntries(IDC_MOUSE_CHOICE),
            (Lines{L"单击鼠标:左键", L"单击鼠标:右键", L"双击鼠标:左键", L"按住鼠标:左键",
                   L"按住鼠标:右键", L"弹起鼠标:左键", L"弹起鼠标:右键"}));
  EXPECT_EQ(kestro_.ComboEntries(IDC_SPECIAL_ACTION),
            (Lines{L"单击键盘:", L"按住键盘:", L"弹起键盘:"}));
  Lines keys = kestro_.ComboEntries(IDC_SPECIAL_KEY);
  ASSERT_EQ(keys.size(), 32u);
  EXPECT_EQ(keys[7], L"CAPSLOCK键");
  EXPECT_EQ(keys[31], L"音量+");

  std::set<std::wstring> texts;
  EnumChildWindows(kestro_.main(), CollectChildText, reinterpret_cast<LPARAM>(&texts));
  for (const wchar_t* label : {L"鼠标命令", L"键盘命令", L"等待时间", L"插入", L"移动鼠标", L"毫秒",
                               L"执行次数", L"循环", L"x", L"y", L":"}) {
    EXPECT_TRUE(texts.count(label)) << "missing label";
  }
  for (int hidden : {IDC_PASS_TEXT, IDC_STATE_TEXT, IDC_AD_TEXT, IDC_CLOSE_AD}) {
    ASSERT_NE(kestro_.Control(hidden), nullptr) << hidden;
    EXPECT_FALSE(IsWindowVisible(kestro_.Control(hidden))) << hidden;
  }
  EXPECT_EQ(kestro_.Text(IDC_PASS_TEXT), L"执行0次");
  EXPECT_EQ(kestro_.Text(IDC_STATE_TEXT), L"空闲");

  EXPECT_EQ(kestro_.StatusText(0), L"欢迎使用!");
  EXPECT_EQ(kestro_.StatusText(1), L"");
}

// Also while a script runs, which leaves the window's thread free.
TEST_F(MainWindowTest, TheCursorReadOutFollowsTheCursor) {
  auto follows = [&](POINT at) {
    SetCursorPos(at.x, at.y);
    return WaitUntil([&] {
      return kestro_.Text(IDC_CURSOR_X) == std::to_wstring(at.x) &&
             kestro_.Text(IDC_CURSOR_Y) == std::to_wstring(at.y);
    });
  };
  EXPECT_TRUE(follows({321, 234}));
  EXPECT_TRUE(follows({17, 900}));

  kestro_.Click(IDC_LOOP);
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_WAIT));
  kestro_.Command(IDM_RUN);
  ASSERT_TRUE(WaitUntil([&] { return kestro_.StatusText(1) == L"执行脚本1次"; }, 5000));
  EXPECT_TRUE(follows({456, 123}));
  EXPECT_TRUE(follows({30, 700}));
  EXPECT_EQ(kestro_.StatusText(0), L"执行脚本...");
}

TEST_F(MainWindowTest, EveryEditorCommand) {
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_MOUSE));
  EXPECT_EQ(kestro_.ListSelection(), 0);
  kestro_.SetText(IDC_TARGET_X, L"100");
  kestro_.SetText(IDC_TARGET_Y, L"200");
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_MOVE));
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_KEY));
  kestro_.SelectComboEntry(IDC_SPECIAL_KEY, 2);     // 回车键
  kestro_.SelectComboEntry(IDC_SPECIAL_ACTION, 1);  // 按住键盘:
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_SPECIAL));
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_WAIT));
  EXPECT_EQ(kestro_.ListLines(), (Lines{L"单击鼠标:左键;", L"移动鼠标:100,200;", L"单击键盘:a;",
                                        L"单击键盘:(回车键);", L"等待时间:1000;"}));
  EXPECT_EQ(kestro_.Text(IDC_SPECIAL_ACTION), L"单击键盘:");  // only modifiers keep it
  EXPECT_EQ(kestro_.ListSelection(), 4);

  kestro_.SelectComboEntry(IDC_SPECIAL_KEY, 4);     // CTRL键
  kestro_.SelectComboEntry(IDC_SPECIAL_ACTION, 2);  // 弹起键盘:
  kestro_.SelectListLine(0);
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_SPECIAL));
  EXPECT_EQ(kestro_.ListLines()[1], L"弹起键盘:(CTRL键);");
  EXPECT_EQ(kestro_.ListSelection(), 1);
  EXPECT_EQ(kestro_.Text(IDC_SPECIAL_ACTION), L"弹起键盘:");

  kestro_.Command(IDM_DELETE_LINE);
  ASSERT_TRUE(WaitUntil([&] { return kestro_.ListLines().size() == 5; }));
  EXPECT_EQ(kestro_.ListSelection(), -1);
  EXPECT_EQ(kestro_.ListLines()[1], L"移动鼠标:100,200;");
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_MOUSE));  // nothing selected: at the end
  EXPECT_EQ(kestro_.ListLines().back(), L"单击鼠标:左键;");
  kestro_.SelectListLine(-1);

  kestro_.Command(IDM_DELETE_LINE);
  BoxContent box = kestro_.WaitForBox(L"提示");
  ASSERT_NE(box.window, nullptr);
  EXPECT_EQ(box.text, L"没有选中要删除的行");
  AnswerBox(box.window, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return kestro_.OtherWindows().empty(); }));

  kestro_.SetText(IDC_WAIT_MS, L"");
  kestro_.Click(IDC_INSERT_WAIT);
  box = kestro_.WaitForBox(L"提示");
  ASSERT_NE(box.window, nullptr);
  EXPECT_EQ(box.text, L"请输入要延时的毫秒数");
  AnswerBox(box.window, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return kestro_.OtherWindows().empty(); }));
  EXPECT_EQ(kestro_.ListLines().size(), 6u);

  kestro_.Command(IDM_CLEAR_LIST);
  EXPECT_TRUE(ListIs({}));
  EXPECT_EQ(kestro_.Text(IDC_REPEAT_COUNT), L"1");
}

TEST_F(MainWindowTest, ARunPlaysTheScriptAndReportsItsPasses) {
  InputRecorder recorder;
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_KEY));  // 单击键盘:a;
  kestro_.SetText(IDC_KEY_CHAR, L"B");
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_KEY));  // 单击键盘:B; with Shift
  kestro_.SetText(IDC_WAIT_MS, L"30");
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_WAIT));
  ASSERT_TRUE(ListIs({L"单击键盘:a;", L"单击键盘:B;", L"等待时间:30;"}));
  kestro_.SetText(IDC_REPEAT_COUNT, L"2");

  kestro_.Command(IDM_RUN);
  EXPECT_TRUE(WaitUntil([&] { return kestro_.StatusText(0) == L"执行脚本..."; }));
  std::vector<std::string> pass = {"key 65 down", "key 65 up", "key 16 down",
                                   "key 66 down", "key 66 up", "key 16 up"};
  std::vector<std::string> expected = pass;
  expected.insert(expected.end(), pass.begin(), pass.end());
  std::vector<std::string> events;
  for (auto& event : recorder.Take(expected.size() + 4, 10000)) {
    if (event == "move") continue;  // Wine reports pointer syncs as moves
    if (event.rfind("key 160 ", 0) == 0) event.replace(4, 3, "16");  // left Shift
    events.push_back(event);
  }
  EXPECT_EQ(events, expected);
  EXPECT_TRUE(WaitUntil([&] { return kestro_.StatusText(0) == L"执行脚本结束!"; }));
  EXPECT_EQ(kestro_.StatusText(1), L"执行脚本2次");
}

TEST_F(MainWindowTest, StopEndsALoopAfterItsPass) {
  kestro_.SetText(IDC_WAIT_MS, L"100");
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_WAIT));
  kestro_.Click(IDC_LOOP);
  ASSERT_TRUE(kestro_.IsChecked(IDC_LOOP));
  kestro_.Command(IDM_RUN);
  ASSERT_TRUE(WaitUntil([&] { return kestro_.StatusText(1) == L"执行脚本2次"; }));
  kestro_.Command(IDM_STOP);
  EXPECT_TRUE(WaitUntil([&] { return kestro_.StatusText(0) == L"执行脚本结束!"; }));
  std::wstring passes = kestro_.StatusText(1);
  Sleep(300);
  EXPECT_EQ(kestro_.StatusText(1), passes);  // no further pass
}

TEST_F(MainWindowTest, EnterInASingleLineFieldRunsButNotInTheKeyField) {
  // The key field takes Enter itself; a run would change part 0 at once.
  PostMessageW(kestro_.Control(IDC_KEY_CHAR), WM_KEYDOWN, VK_RETURN, 0);
  Sleep(500);
  EXPECT_EQ(kestro_.StatusText(0), L"欢迎使用!");

  PostMessageW(kestro_.Control(IDC_REPEAT_COUNT), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(WaitUntil([&] { return kestro_.StatusText(0) == L"执行脚本..."; }));
  EXPECT_TRUE(WaitUntil([&] { return kestro_.StatusText(0) == L"执行脚本结束!"; }));
  EXPECT_EQ(kestro_.StatusText(1), L"执行脚本1次");
}

TEST_F(MainWindowTest, HelpBoxes) {
  struct Case {
    int command;
    std::wstring caption, start;
  } cases[] = {
      {IDM_INSTRUCTIONS, L"Zelmo按键-操作说明", L"\n  左边编辑脚本  \n\n  右边显示脚本内容"},
      {IDM_ABOUT, L"Zelmo按键-关于", L"  \n\n  版 本 V5.0  \n\n  日期：2014年11月"},
  };
  for (const auto& c : cases) {
    kestro_.Command(c.command);
    BoxContent box = kestro_.WaitForBox(c.caption);
    ASSERT_NE(box.window, nullptr) << c.command;
    EXPECT_EQ(box.text.substr(0, c.start.size()), c.start);
    AnswerBox(box.window, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return kestro_.OtherWindows().empty(); }));
  }
}

TEST_F(MainWindowTest, MinimisingHidesTheWindowAndTheTrayIconBringsItBack) {
  PostMessageW(kestro_.main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(kestro_.main()); }));

  kestro_.Command(IDM_TRAY_CALLBACK, WM_RBUTTONUP);
  kestro_.Command(IDM_TRAY_CALLBACK, WM_LBUTTONDOWN);
  Sleep(300);
  EXPECT_FALSE(IsWindowVisible(kestro_.main()));

  kestro_.Command(IDM_TRAY_CALLBACK, WM_LBUTTONUP);
  EXPECT_TRUE(
      WaitUntil([&] { return IsWindowVisible(kestro_.main()) && !IsIconic(kestro_.main()); }));
}

TEST_F(MainWindowTest, EscEndsTheProgramAlsoDuringARun) {
  kestro_.Click(IDC_LOOP);
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_WAIT));
  kestro_.Command(IDM_RUN);
  ASSERT_TRUE(WaitUntil([&] { return kestro_.StatusText(0) == L"执行脚本..."; }));
  PostMessageW(kestro_.Control(IDC_REPEAT_COUNT), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(kestro_.WaitForExit(), 0);
}

TEST(SingleInstanceTest, ASecondCopyOfTheSameNameEndsAtOnceAnotherNameStarts) {
  KestroProcess first;
  ASSERT_NE(first.WaitForMainWindow(), nullptr);

  KestroProcess second;  // same file name, another folder
  EXPECT_EQ(second.WaitForExit(), 0);

  // Another name starts beside the first; the hotkeys are the first one's,
  // so it reports run, stop and capture before its window shows (the
  // default record hotkey nobody chose goes unsaid).
  KestroProcess renamed(L"kestro-copy.exe");
  for (int i = 0; i < 3; ++i) {
    BoxContent box = renamed.WaitForBox(L"提示", 10000);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text.substr(0, 9), L"已有程序占用了热键");
    AnswerBox(box.window, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box.window); }));
  }
  EXPECT_NE(renamed.WaitForMainWindow(), nullptr);
  Sleep(300);
  EXPECT_TRUE(renamed.OtherWindows().empty());
}

}  // namespace
}  // namespace kestro::e2e
