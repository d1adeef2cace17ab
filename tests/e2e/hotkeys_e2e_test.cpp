// The global hotkeys from another program: run, stop and capture, a
// combination another program holds, and the options dialog.
#include <gtest/gtest.h>

#include <algorithm>

#include "colour_patch.h"
#include "kestro_process.h"
#include "resource_ids.h"
#include "testing/input_recorder_win32.h"

namespace kestro::e2e {
namespace {

// Presses modifiers + key as a user would, from this program.
void PressHotkey(UINT modifiers, BYTE key) {
  if (modifiers & MOD_CONTROL) keybd_event(VK_CONTROL, 0, 0, 0);
  if (modifiers & MOD_ALT) keybd_event(VK_MENU, 0, 0, 0);
  keybd_event(key, 0, 0, 0);
  keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
  if (modifiers & MOD_ALT) keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
  if (modifiers & MOD_CONTROL) keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

std::size_t CountOf(const std::vector<std::string>& events, const std::string& event) {
  return static_cast<std::size_t>(std::count(events.begin(), events.end(), event));
}

class HotkeysTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(kestro_.WaitForMainWindow(), nullptr); }

  // A script that taps F9, a key that does nothing in the windows here.
  void MakeTapScript() {
    kestro_.SelectComboEntry(IDC_SPECIAL_KEY, 25);  // F9
    ASSERT_TRUE(kestro_.Insert(IDC_INSERT_SPECIAL));
    ASSERT_EQ(kestro_.ListLines().back(), L"单击键盘:(F9);");
  }

  bool RunEnded() {
    return WaitUntil([&] { return kestro_.StatusText(0) == L"执行脚本结束!"; }, 8000);
  }

  // A folder whose name GBK cannot hold: settings live beside the program
  // whatever its folder is called.
  KestroProcess kestro_{L"kestro.exe", L"kestro.exe", nullptr, L"宏工具 テスト ✓"};
};

TEST_F(HotkeysTest, CtrlYRunsAndCtrlTStopsFromAnywhere) {
  InputRecorder recorder(false);
  MakeTapScript();
  kestro_.Click(IDC_LOOP);
  PressHotkey(MOD_CONTROL, 'Y');
  // Passes of one tap turn fast; wait for a few of them.
  ASSERT_TRUE(WaitUntil([&] { return kestro_.StatusText(1).size() >= 7; }, 8000));  // 执行脚本10次
  PressHotkey(MOD_CONTROL, 'T');
  EXPECT_TRUE(RunEnded());
  std::vector<std::string> events = recorder.Take(1000, 200);
  EXPECT_GE(CountOf(events, "key 120 down"), 2u);
  EXPECT_EQ(CountOf(events, "key 120 down"), CountOf(events, "key 120 up"));
}

TEST_F(HotkeysTest, CtrlFCapturesThePositionAndTheColourUnderTheCursor) {
  ColourPatch patch(RGB(0x12, 0x34, 0x56), RECT{400, 300, 500, 400});
  SetCursorPos(437, 351);
  PressHotkey(MOD_CONTROL, 'F');
  EXPECT_TRUE(WaitUntil([&] { return kestro_.Text(IDC_COLOUR_TEXT) == L"颜色:563412"; }));
  EXPECT_EQ(kestro_.Text(IDC_TARGET_X), L"437");
  EXPECT_EQ(kestro_.Text(IDC_TARGET_Y), L"351");
  // The captured point goes straight into a move line.
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_MOVE));
  EXPECT_EQ(kestro_.ListLines().back(), L"移动鼠标:437,351;");
}

// A combination another program holds is reported once at start, in its
// row's own words; the program still starts and its other hotkeys work. The
// record hotkey's default is nobody's choice, so its refusal goes unsaid.
TEST(HotkeyConflictTest, AHeldCombinationIsReportedAtStartAndTheOthersWork) {
  struct Case {
    BYTE key;
    bool recordKeysInFile;
    const wchar_t* text;  // empty: no box
  } cases[] = {
      {'T', false, L"已有程序占用了热键,你将不能用热键停止脚本"},
      {VK_F12, false, L""},
      {VK_F12, true, L"已有程序占用了热键,你将不能用热键录制脚本"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL, c.key));
    {
      KestroProcess kestro(L"kestro.exe", L"kestro.exe", [&](const std::filesystem::path& folder) {
        if (!c.recordKeysInFile) return;
        std::filesystem::path ini = folder / L"config.ini";
        WritePrivateProfileStringW(L"HotKey", L"CtrlRecord", L"2", ini.c_str());
        WritePrivateProfileStringW(L"HotKey", L"VKRecord", L"123", ini.c_str());
      });
      if (*c.text) {
        BoxContent box = kestro.WaitForBox(L"提示", 10000);
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, c.text);
        AnswerBox(box.window, IDOK);
      }
      ASSERT_NE(kestro.WaitForMainWindow(), nullptr);
      Sleep(300);
      EXPECT_TRUE(kestro.OtherWindows().empty());  // one message at most

      PressHotkey(MOD_CONTROL, 'Y');
      EXPECT_TRUE(WaitUntil([&] { return kestro.StatusText(0) == L"执行脚本结束!"; }, 8000));
      SetCursorPos(12, 34);
      PressHotkey(MOD_CONTROL, 'F');
      EXPECT_TRUE(WaitUntil([&] { return kestro.Text(IDC_TARGET_X) == L"12"; }));
      EXPECT_EQ(kestro.Text(IDC_TARGET_Y), L"34");
    }
    UnregisterHotKey(nullptr, 1);
  }
}

// The options dialog's eight combo texts, run modifiers first.
std::vector<std::wstring> OptionTexts(HWND dialog) {
  std::vector<std::wstring> texts;
  for (int id = IDC_RUN_MODIFIERS; id <= IDC_RECORD_KEY; ++id) {
    texts.push_back(WindowText(GetDlgItem(dialog, id)));
  }
  return texts;
}

int ReadSetting(const std::filesystem::path& ini, const wchar_t* key) {
  return static_cast<int>(GetPrivateProfileIntW(L"HotKey", key, -999, ini.c_str()));
}

TEST_F(HotkeysTest, OptionsChangeTheKeysAndKeepThemInConfigIni) {
  std::filesystem::path ini = kestro_.folder() / L"config.ini";
  EXPECT_FALSE(std::filesystem::exists(ini));  // starting writes nothing
  kestro_.Command(IDM_OPTIONS);
  BoxContent options = kestro_.WaitForBox(L"选项");
  ASSERT_NE(options.window, nullptr);
  EXPECT_EQ(
      OptionTexts(options.window),
      (std::vector<std::wstring>{L"CTRL", L"Y", L"CTRL", L"T", L"CTRL", L"F", L"CTRL", L"F12"}));

  // Run becomes Ctrl+U; capture gets no key at all.
  SendMessageW(GetDlgItem(options.window, IDC_RUN_KEY), CB_SETCURSEL, 1 + 10 + ('U' - 'A'), 0);
  SendMessageW(GetDlgItem(options.window, IDC_CAPTURE_KEY), CB_SETCURSEL, 0, 0);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(GetDlgItem(options.window, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, 300, &result);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options.window); }));

  EXPECT_EQ(ReadSetting(ini, L"CtrlRun"), 2);
  EXPECT_EQ(ReadSetting(ini, L"VKRun"), 'U');
  EXPECT_EQ(ReadSetting(ini, L"CtrlOver"), 2);
  EXPECT_EQ(ReadSetting(ini, L"VKOver"), 'T');
  EXPECT_EQ(ReadSetting(ini, L"CtrlXY"), 2);
  EXPECT_EQ(ReadSetting(ini, L"VKXY"), 1);
  Sleep(300);
  EXPECT_TRUE(kestro_.OtherWindows().empty());  // "无" is not refused, just not registered

  PressHotkey(MOD_CONTROL, 'Y');  // the old combination
  Sleep(500);
  EXPECT_EQ(kestro_.StatusText(0), L"欢迎使用!");
  PressHotkey(MOD_CONTROL, 'U');
  EXPECT_TRUE(WaitUntil([&] { return kestro_.StatusText(0) == L"执行脚本结束!"; }, 8000));

  SetCursorPos(55, 66);
  PressHotkey(MOD_CONTROL, 'F');
  Sleep(500);
  EXPECT_EQ(kestro_.Text(IDC_TARGET_X), L"0");

  // The dialog shows the file's values when it opens again; Esc keeps them.
  kestro_.Command(IDM_OPTIONS);
  options = kestro_.WaitForBox(L"选项");
  ASSERT_NE(options.window, nullptr);
  EXPECT_EQ(
      OptionTexts(options.window),
      (std::vector<std::wstring>{L"CTRL", L"U", L"CTRL", L"T", L"CTRL", L"无", L"CTRL", L"F12"}));
  PostMessageW(options.window, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options.window); }));
  EXPECT_EQ(ReadSetting(ini, L"VKRun"), 'U');
}

// The record row: from a file that an older version left with the six
// keys it knew, through the dialog, back into the file with the other
// seven, and in force at once.
TEST_F(HotkeysTest, TheRecordRowRoundTripsThroughConfigIni) {
  std::filesystem::path ini = kestro_.folder() / L"config.ini";
  const wchar_t* older[][2] = {{L"CtrlRun", L"2"}, {L"VKRun", L"85"}, {L"CtrlOver", L"2"},
                               {L"VKOver", L"84"}, {L"CtrlXY", L"1"}, {L"VKXY", L"70"}};
  for (const auto& [key, value] : older) {
    ASSERT_TRUE(WritePrivateProfileStringW(L"HotKey", key, value, ini.c_str()));
  }
  kestro_.Command(IDM_OPTIONS);
  BoxContent options = kestro_.WaitForBox(L"选项");
  ASSERT_NE(options.window, nullptr);
  EXPECT_EQ(
      OptionTexts(options.window),
      (std::vector<std::wstring>{L"CTRL", L"U", L"CTRL", L"T", L"ALT", L"F", L"CTRL", L"F12"}));

  // Recording on the bare F8 key.
  SendMessageW(GetDlgItem(options.window, IDC_RECORD_MODIFIERS), CB_SETCURSEL, 0, 0);
  SendMessageW(GetDlgItem(options.window, IDC_RECORD_KEY), CB_SETCURSEL, 1 + 10 + 26 + 7, 0);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(GetDlgItem(options.window, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, 300, &result);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options.window); }));

  const std::pair<const wchar_t*, int> written[] = {
      {L"CtrlRun", 2}, {L"VKRun", 'U'}, {L"CtrlOver", 2},   {L"VKOver", 'T'},
      {L"CtrlXY", 1},  {L"VKXY", 'F'},  {L"CtrlRecord", 0}, {L"VKRecord", VK_F8}};
  for (const auto& [key, value] : written) EXPECT_EQ(ReadSetting(ini, key), value) << key;
  Sleep(300);
  EXPECT_TRUE(kestro_.OtherWindows().empty());

  PressHotkey(0, VK_F8);
  EXPECT_TRUE(WaitUntil([&] { return kestro_.StatusText(0) == L"正在录制..."; }));
  PressHotkey(0, VK_F8);
  EXPECT_TRUE(WaitUntil([&] { return kestro_.StatusText(0) == L"录制结束!"; }));
  EXPECT_EQ(kestro_.StatusText(1), L"录制0行");
  PressHotkey(MOD_CONTROL, VK_F12);  // no longer the record hotkey
  Sleep(500);
  EXPECT_EQ(kestro_.StatusText(0), L"录制结束!");

  kestro_.Command(IDM_OPTIONS);
  options = kestro_.WaitForBox(L"选项");
  ASSERT_NE(options.window, nullptr);
  EXPECT_EQ(OptionTexts(options.window),
            (std::vector<std::wstring>{L"CTRL", L"U", L"CTRL", L"T", L"ALT", L"F", L"无", L"F8"}));
  PostMessageW(options.window, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options.window); }));
}

}  // namespace
}  // namespace kestro::e2e
