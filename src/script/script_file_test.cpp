#include "script/script_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "resource_ids.h"
#include "testing/fake_main_window.h"
#include "testing/gbk_literal.h"
#include "testing/hex.h"

namespace kestro {
namespace {

using Lines = std::vector<std::string>;

TEST(ComposeScriptTextTest, TheExampleFileByteForByte) {
  std::string bytes =
      ToDiskLineEnds(ComposeScriptText("3", {"单击鼠标:左键;"_gbk, "等待时间:1000;"_gbk}));
  EXPECT_EQ(bytes,
            "执行次数:3\r\n\r\n脚本开始.\r\n单击鼠标:左键;\r\n等待时间:1000;\r\n脚本结束."_gbk);
  // The markers as GBK bytes, as every stored file has them.
  EXPECT_EQ(Hex(bytes.substr(0, 9)), "D6 B4 D0 D0 B4 CE CA FD 3A");
  EXPECT_EQ(Hex(bytes.substr(bytes.size() - 9)), "BD C5 B1 BE BD E1 CA F8 2E");
}

TEST(ComposeScriptTextTest, EmptyScript) {
  EXPECT_EQ(ComposeScriptText("", {}), "执行次数:\n\n脚本开始.\n脚本结束."_gbk);
}

TEST(LineEndsTest, ConvertedByOurCodeTheSameEverywhere) {
  struct Case {
    std::string_view disk, text;
  } cases[] = {
      {"a\r\nb", "a\nb"},
      {"a\rb", "a\rb"},
      {"a\r\r\nb", "a\r\nb"},
      {"\r\n\r\n", "\n\n"},
      {"a\r", "a\r"},
      {"a\n", "a\n"},
      {"\x1A"
       "a",
       "\x1A"
       "a"},  // no end-of-file byte as in C text mode
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Hex(c.disk));
    EXPECT_EQ(FromDiskLineEnds(c.disk), c.text);
  }
  EXPECT_EQ(ToDiskLineEnds("a\nb\n\n"), "a\r\nb\r\n\r\n");
  EXPECT_EQ(ToDiskLineEnds("a\rb"), "a\rb");
}

TEST(ParseScriptTextTest, Tokens) {
  struct Case {
    std::string name;
    std::string text;  // LF line ends
    Lines counts, lines;
  } cases[] = {
      {"example",
       "执行次数:3\n\n脚本开始.\n单击鼠标:左键;\n等待时间:1000;\n脚本结束."_gbk,
       {"3"},
       {"单击鼠标:左键;"_gbk, "等待时间:1000;"_gbk}},
      {"empty script", "执行次数:\n\n脚本开始.\n脚本结束."_gbk, {""}, {}},
      {"loop", "执行次数:循环\n\n脚本开始.\n脚本结束."_gbk, {"循环"_gbk}, {}},
      {"spaces dropped",
       "执行次数: 1 2\n脚本开始.\n单击鼠标: 左键;\n 等待 时间:5;\n脚本结束."_gbk,
       {"12"},
       {"单击鼠标:左键;"_gbk, "等待时间:5;"_gbk}},
      // A key line whose whole argument is a blank or a '.' comes back as
      // it was saved; anything more or other is loaded as ever.
      {"lone key arguments kept",
       "执行次数:1\n脚本开始.\n单击键盘: ;\n按住键盘:.;\n弹起键盘: ;\n单击键盘:.;\n脚本结束."_gbk,
       {"1"},
       {"单击键盘: ;"_gbk, "按住键盘:.;"_gbk, "弹起键盘: ;"_gbk, "单击键盘:.;"_gbk}},
      {"only lone key arguments kept",
       "执行次数:1\n脚本开始.\n单击键盘: ;x\n单击键盘:  ;\n等待时间: ;\n单击键盘:. ;\n脚本结束."_gbk,
       {"1"},
       {"单击键盘:;x"_gbk, "单击键盘:;"_gbk, "等待时间:;"_gbk, "单击键盘:."_gbk, ";"}},
      {"split after a dot",
       "执行次数:1\n脚本开始.\n等待时间:1.5;\n脚本结束."_gbk,
       {"1"},
       {"等待时间:1."_gbk, "5;"}},
      {"count cut at a dot", "执行次数:2.5x\n脚本开始.\na\n脚本结束."_gbk, {"2."}, {"a"}},
      {"last count wins, in order",
       "执行次数:2\n执行次数:循环\n执行次数:4\n脚本开始.\n脚本结束."_gbk,
       {"2", "循环"_gbk, "4"},
       {}},
      {"other header tokens ignored",
       "Zelmo\n次数:3\n执行次数X:3\n脚本开始.\na\n脚本结束."_gbk,
       {},
       {"a"}},
      {"no end marker: to the end", "执行次数:1\n脚本开始.\na\nb\n"_gbk, {"1"}, {"a", "b"}},
      {"last line without line end dropped", "执行次数:1\n脚本开始.\na\nb"_gbk, {"1"}, {"a"}},
      {"after the end marker ignored",
       "执行次数:1\n脚本开始.\na\n脚本结束.\nb\n"_gbk,
       {"1"},
       {"a"}},
      {"empty and blank lines give nothing",
       "执行次数:1\n脚本开始.\n\n   \na\n\n脚本结束."_gbk,
       {"1"},
       {"a"}},
      {"NUL ends the text", "执行次数:1\n脚本开始.\na\n\0b\n"_gbk, {"1"}, {"a"}},
      // A lone CR is dropped like a blank, and a line end it hides from the
      // byte before does not complete that token.
      {"lone CR joins lines", "执行次数:1\n脚本开始.\na\rb\nc\r\n"_gbk, {"1"}, {"ab"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LoadedScript script = ParseScriptText(c.text);
    EXPECT_EQ(script.countValues, c.counts);
    EXPECT_EQ(script.lines, c.lines);
  }
}

TEST(ParseScriptTextTest, WithoutStartMarkerTheBodyBeginsAtByte64) {
  // Only script lines of 15 bytes each: the first 64 bytes are header, so
  // four lines are lost and the fifth comes back without its first word's
  // first four bytes.
  std::string text;
  for (int i = 0; i < 6; ++i)
    text += "等待时间:100"_gbk + std::to_string(i) + ";\n";  // 15 bytes each
  LoadedScript script = ParseScriptText(text);
  EXPECT_TRUE(script.countValues.empty());
  EXPECT_EQ(script.lines, (Lines{"时间:1004;"_gbk, "等待时间:1005;"_gbk}));
}

TEST(ParseScriptTextTest, StartMarkerBeyondTheHeaderIsNotSeen) {
  std::string text = "执行次数:"_gbk + std::string(60, '9') + "\n脚本开始.\na\n脚本结束."_gbk;
  LoadedScript script = ParseScriptText(text);
  // The count token was still under way at byte 64, so it is dropped, and
  // the body takes the rest of it and the marker as lines.
  EXPECT_TRUE(script.countValues.empty());
  EXPECT_EQ(script.lines, (Lines{"99999", "脚本开始."_gbk, "a"}));
}

TEST(ParseScriptTextTest, LongLinesAndLargeFilesLoadWhole) {
  Lines lines;
  for (int i = 0; i < 500; ++i) lines.push_back("等待时间:"_gbk + std::string(300, '1') + ";");
  std::string text = ComposeScriptText("7", lines);
  ASSERT_GT(text.size(), 100000u);
  LoadedScript script = ParseScriptText(text);
  EXPECT_EQ(script.countValues, Lines{"7"});
  EXPECT_EQ(script.lines, lines);
}

// Random scripts of space-free, dot-free lines survive a round trip.
TEST(ParseScriptTextTest, ComposedScriptsComeBackWhole) {
  std::mt19937 random(7);
  const std::string pieces[] = {
      "单击鼠标:左键;"_gbk, "等待时间:"_gbk, "1", "(回车键)"_gbk, ";", "a", "Z", "音量+"_gbk};
  for (int round = 0; round < 200; ++round) {
    Lines lines(random() % 20);
    for (auto& line : lines) {
      for (int n = 1 + random() % 6; n > 0; --n) line += pieces[random() % std::size(pieces)];
    }
    std::string count = std::to_string(random() % 1000);
    LoadedScript script =
        ParseScriptText(FromDiskLineEnds(ToDiskLineEnds(ComposeScriptText(count, lines))));
    EXPECT_EQ(script.countValues, Lines{count});
    EXPECT_EQ(script.lines, lines);
  }
}

class FakeFileDialogs : public FileDialogs {
 public:
  std::optional<NativePath> ChooseScriptToOpen() override { return Native(openPath); }
  std::optional<NativePath> ChooseScriptSaveName() override { return Native(savePath); }
  std::optional<std::filesystem::path> openPath, savePath;

 private:
  static std::optional<NativePath> Native(const std::optional<std::filesystem::path>& path) {
    if (!path) return std::nullopt;
    return path->native();
  }
};

class ScriptFileCommandTest : public ::testing::Test {
 protected:
  ScriptFileCommandTest() {
    dir_ =
        std::filesystem::temp_directory_path() /
        ("kestro-script-file-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~ScriptFileCommandTest() override { std::filesystem::remove_all(dir_); }

  std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  std::filesystem::path dir_;
  FakeMainWindow window_;
  FakeFileDialogs dialogs_;
  SystemFiles files_;
};

TEST_F(ScriptFileCommandTest, SaveWritesTheFileUnderTheNamePlusIni) {
  window_.texts[IDC_REPEAT_COUNT] = "3";
  window_.lines = {"单击鼠标:左键;"_gbk, "等待时间:1000;"_gbk};
  dialogs_.savePath = dir_ / "demo";
  SaveScriptFile(window_, dialogs_, files_);
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_EQ(ReadBytes(dir_ / "demo.ini"),
            "执行次数:3\r\n\r\n脚本开始.\r\n单击鼠标:左键;\r\n等待时间:1000;\r\n脚本结束."_gbk);

  // Choosing the existing file itself saves as demo.ini.ini.
  dialogs_.savePath = dir_ / "demo.ini";
  SaveScriptFile(window_, dialogs_, files_);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "demo.ini.ini"));
}

TEST_F(ScriptFileCommandTest, SaveWithLoopWritesLoopWhateverTheCount) {
  window_.texts[IDC_REPEAT_COUNT] = "5";
  window_.checks[IDC_LOOP] = true;
  dialogs_.savePath = dir_ / "loop";
  SaveScriptFile(window_, dialogs_, files_);
  EXPECT_EQ(ReadBytes(dir_ / "loop.ini"), "执行次数:循环\r\n\r\n脚本开始.\r\n脚本结束."_gbk);
}

TEST_F(ScriptFileCommandTest, CountValueIsCutTo31BytesOnACharacterBoundary) {
  window_.texts[IDC_REPEAT_COUNT] = std::string(30, '1') + "循环"_gbk;
  dialogs_.savePath = dir_ / "count";
  SaveScriptFile(window_, dialogs_, files_);
  EXPECT_EQ(ReadBytes(dir_ / "count.ini").substr(0, 9 + 30 + 2),
            "执行次数:"_gbk + std::string(30, '1') + "\r\n");
}

TEST_F(ScriptFileCommandTest, SaveNeverOverwrites) {
  WriteBytes(dir_ / "old.ini", "keep me");
  window_.lines = {"a"};
  dialogs_.savePath = dir_ / "old";
  SaveScriptFile(window_, dialogs_, files_);
  EXPECT_EQ(ReadBytes(dir_ / "old.ini"), "keep me");
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0],
            (ShownMessage{BoxOwner::MainWindow, "相同文件名已存在!"_gbk, "保存失败"_gbk, 0x40}));
}

TEST_F(ScriptFileCommandTest, ASaveThatCannotBeWrittenIsReportedAndLeavesNoFile) {
  dialogs_.savePath = dir_ / "missing-folder" / "script";
  SaveScriptFile(window_, dialogs_, files_);
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0],
            (ShownMessage{BoxOwner::MainWindow, "保存脚本错误"_gbk, "保存失败"_gbk, 0x30}));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing-folder"));
}

TEST_F(ScriptFileCommandTest, CancelledDialogsDoNothing) {
  window_.lines = {"a"};
  SaveScriptFile(window_, dialogs_, files_);
  OpenScriptFile(window_, dialogs_, files_);
  EXPECT_TRUE(std::filesystem::is_empty(dir_));
  EXPECT_EQ(window_.lines, Lines{"a"});
  EXPECT_TRUE(window_.messages.empty());
}

TEST_F(ScriptFileCommandTest, OpenAppendsLinesAndAppliesTheCount) {
  WriteBytes(dir_ / "s.ini", "执行次数:3\r\n\r\n脚本开始.\r\nb\r\nc\r\n脚本结束."_gbk);
  window_.lines = {"a"};
  window_.selection = 0;
  window_.checks[IDC_LOOP] = true;
  dialogs_.openPath = dir_ / "s.ini";
  OpenScriptFile(window_, dialogs_, files_);
  EXPECT_EQ(window_.lines, (Lines{"a", "b", "c"}));
  EXPECT_EQ(window_.selection, 0);  // the selection stays where it was
  EXPECT_EQ(window_.texts[IDC_REPEAT_COUNT], "3");
  EXPECT_FALSE(window_.checks[IDC_LOOP]);

  OpenScriptFile(window_, dialogs_, files_);
  EXPECT_EQ(window_.lines, (Lines{"a", "b", "c", "b", "c"}));
}

TEST_F(ScriptFileCommandTest, OpenLoopTicksTheBoxAndKeepsTheCount) {
  WriteBytes(dir_ / "loop.ini", "执行次数:循环\r\n\r\n脚本开始.\r\n脚本结束."_gbk);
  window_.texts[IDC_REPEAT_COUNT] = "9";
  dialogs_.openPath = dir_ / "loop.ini";
  OpenScriptFile(window_, dialogs_, files_);
  EXPECT_TRUE(window_.checks[IDC_LOOP]);
  EXPECT_EQ(window_.texts[IDC_REPEAT_COUNT], "9");
  EXPECT_TRUE(window_.lines.empty());
}

TEST_F(ScriptFileCommandTest, OpenOfAMissingFileIsReported) {
  dialogs_.openPath = dir_ / "gone.ini";
  window_.lines = {"a"};
  OpenScriptFile(window_, dialogs_, files_);
  EXPECT_EQ(window_.lines, Lines{"a"});
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0],
            (ShownMessage{BoxOwner::MainWindow, "打开脚本错误"_gbk, "提示"_gbk, 0}));
}

TEST_F(ScriptFileCommandTest, SaveThenOpenGivesTheScriptBack) {
  Lines lines = {"单击鼠标:右键;"_gbk, "移动鼠标:1920,1080;"_gbk, "按住键盘:(SHIFT键);"_gbk,
                 "组合按键:ctrl;"_gbk, "单击键盘:"_gbk + std::string(400, 'x') + ";"};
  window_.lines = lines;
  window_.texts[IDC_REPEAT_COUNT] = "12";
  dialogs_.savePath = dir_ / "round";
  SaveScriptFile(window_, dialogs_, files_);

  FakeMainWindow loaded;
  dialogs_.openPath = dir_ / "round.ini";
  OpenScriptFile(loaded, dialogs_, files_);
  EXPECT_EQ(loaded.lines, lines);
  EXPECT_EQ(loaded.texts[IDC_REPEAT_COUNT], "12");
}

}  // namespace
}  // namespace kestro
