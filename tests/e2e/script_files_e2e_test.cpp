// Saving and loading scripts through the real file dialogs: the name is
// typed and OK pressed, as a user does.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "kestro_process.h"
#include "resource_ids.h"
#include "testing/gbk_literal.h"

namespace kestro::e2e {
namespace {

constexpr int kFilterCombo = 0x470;  // cmb1, the file type list

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ScriptFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(kestro_.WaitForMainWindow(), nullptr); }

  // Opens a file dialog by its menu command; returns it.
  HWND OpenDialog(int command) {
    kestro_.Command(command);
    return kestro_.WaitForBox().window;
  }

  KestroProcess kestro_;
};

TEST_F(ScriptFilesTest, SaveWritesTheFileAndOpenBringsTheScriptBack) {
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_MOUSE));
  ASSERT_TRUE(kestro_.Insert(IDC_INSERT_WAIT));
  kestro_.SetText(IDC_REPEAT_COUNT, L"3");

  HWND save = OpenDialog(IDM_SAVE);
  ASSERT_NE(save, nullptr);
  EXPECT_EQ(WindowText(GetDlgItem(save, kFilterCombo)), L"脚本文件(.ini)");
  ASSERT_TRUE(ChooseFileInDialog(save, kestro_.folder() / L"演示"));
  std::filesystem::path saved = kestro_.folder() / L"演示.ini";
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(saved); }));
  const std::string expected =
      "执行次数:3\r\n\r\n脚本开始.\r\n单击鼠标:左键;\r\n等待时间:1000;\r\n脚本结束."_gbk;
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes(saved) == expected; }));

  // The same name again: refused, the file stays as it is.
  kestro_.Insert(IDC_INSERT_KEY);
  save = OpenDialog(IDM_SAVE);
  ASSERT_NE(save, nullptr);
  ASSERT_TRUE(ChooseFileInDialog(save, kestro_.folder() / L"演示"));
  BoxContent refusal = kestro_.WaitForBox(L"保存失败");
  ASSERT_NE(refusal.window, nullptr);
  EXPECT_EQ(refusal.text, L"相同文件名已存在!");
  AnswerBox(refusal.window, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return kestro_.OtherWindows().empty(); }));
  EXPECT_EQ(ReadBytes(saved), expected);

  kestro_.Command(IDM_CLEAR_LIST);
  kestro_.SetText(IDC_REPEAT_COUNT, L"9");
  kestro_.Click(IDC_LOOP);
  HWND open = OpenDialog(IDM_OPEN);
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(WindowText(GetDlgItem(open, kFilterCombo)), L"脚本文件(.ini;.txt)");
  ASSERT_TRUE(ChooseFileInDialog(open, saved));
  EXPECT_TRUE(WaitUntil([&] {
    return kestro_.ListLines() == std::vector<std::wstring>{L"单击鼠标:左键;", L"等待时间:1000;"};
  }));
  EXPECT_EQ(kestro_.Text(IDC_REPEAT_COUNT), L"3");
  EXPECT_FALSE(kestro_.IsChecked(IDC_LOOP));
}

TEST_F(ScriptFilesTest, ALoopScriptSavesLoopAndCancelWritesNothing) {
  kestro_.Click(IDC_LOOP);
  HWND save = OpenDialog(IDM_SAVE);
  ASSERT_NE(save, nullptr);
  PostMessageW(save, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(save); }));
  Sleep(300);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(kestro_.folder()),
                          std::filesystem::directory_iterator()),
            1);  // the program alone

  save = OpenDialog(IDM_SAVE);
  ASSERT_NE(save, nullptr);
  ASSERT_TRUE(ChooseFileInDialog(save, kestro_.folder() / L"loop"));
  std::filesystem::path saved = kestro_.folder() / L"loop.ini";
  EXPECT_TRUE(WaitUntil(
      [&] { return ReadBytes(saved) == "执行次数:循环\r\n\r\n脚本开始.\r\n脚本结束."_gbk; }));
}

}  // namespace
}  // namespace kestro::e2e
