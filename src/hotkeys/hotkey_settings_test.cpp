#include "hotkeys/hotkey_settings.h"

#include <gtest/gtest.h>

#include "testing/memory_settings_store.h"

namespace kestro {
namespace {

using Writes = std::vector<std::string>;

const NativePath kFolder = AppendAscii({}, "kestro");
const NativePath kPath = AppendAscii(kFolder + kPathSeparator, "config.ini");
const HotkeyValues kDefaults = {2, 89, 2, 84, 2, 70, 2, 123};

class HotkeySettingsTest : public ::testing::Test {
 protected:
  HotkeySettingsTest() { settings_.BuildPath(kFolder, kSettingsFileName); }

  HotkeyValues LoadFrom(const std::string& file) {
    store_.files[kPath] = file;
    settings_.Load();
    return settings_.values();
  }

  MemorySettingsStore store_;
  HotkeySettings settings_{store_};
};

TEST_F(HotkeySettingsTest, PathIsTheFileBesideTheExecutable) {
  EXPECT_EQ(settings_.path(), kPath);

  HotkeySettings settings(store_);
  settings.BuildPath(AppendAscii({}, "other"), nullptr);
  EXPECT_EQ(settings.path(), NativePath());
}

TEST_F(HotkeySettingsTest, NoFileGivesCtrlYCtrlTCtrlFCtrlF12AndCreatesNone) {
  settings_.Load();
  EXPECT_EQ(settings_.values(), kDefaults);
  EXPECT_TRUE(store_.files.empty());
  EXPECT_TRUE(store_.writes.empty());
}

TEST_F(HotkeySettingsTest, EachAbsentKeyTakesItsOwnDefault) {
  EXPECT_EQ(LoadFrom("[HotKey]\r\nVKRun=65\r\nCtrlXY=1\r\nVKRecord=69\r\n"),
            (HotkeyValues{2, 65, 2, 84, 1, 70, 2, 69}));
  EXPECT_EQ(LoadFrom("[Other]\r\nVKRun=65\r\n"), kDefaults);
}

TEST_F(HotkeySettingsTest, ZeroFallsBackForKeyCodesOnly) {
  std::string zeros =
      "[HotKey]\r\nCtrlRun=0\r\nVKRun=0\r\nCtrlOver=0\r\nVKOver=0\r\nCtrlXY=0\r\nVKXY=0\r\n"
      "CtrlRecord=0\r\nVKRecord=0\r\n";
  EXPECT_EQ(LoadFrom(zeros), (HotkeyValues{0, 89, 0, 84, 0, 70, 0, 123}));
  // Text that is no number reads as 0: no modifier, or the default key.
  std::string words =
      "[HotKey]\r\nCtrlRun=x\r\nVKRun=y\r\nCtrlOver=x\r\nVKOver=y\r\nCtrlXY=x\r\nVKXY=y\r\n"
      "CtrlRecord=x\r\nVKRecord=y\r\n";
  EXPECT_EQ(LoadFrom(words), (HotkeyValues{0, 89, 0, 84, 0, 70, 0, 123}));
}

TEST_F(HotkeySettingsTest, ValuesOutsideTheDialogsChoicesAreKept) {
  // 1 (no key), Shift, Win+Alt, space, a negative number: all carried through.
  std::string file =
      "[HotKey]\r\nCtrlRun=2\r\nVKRun=1\r\nCtrlOver=4\r\nVKOver=32\r\nCtrlXY=9\r\nVKXY=-3\r\n"
      "CtrlRecord=8\r\nVKRecord=1\r\n";
  EXPECT_EQ(LoadFrom(file), (HotkeyValues{2, 1, 4, 32, 9, -3, 8, 1}));
}

// A file without record keys (what the program wrote before recording
// existed): the six keys read as written, and the record hotkey takes its
// default Ctrl+F12 unless one of the three has it already; then none. Named
// in the file, the record keys are read as they stand, clash or not.
TEST_F(HotkeySettingsTest, TheRecordDefaultGivesWayToTheOtherThree) {
  const std::string six = "[HotKey]\r\nCtrlRun=1\r\nVKRun=49\r\nCtrlOver=0\r\nVKOver=112\r\n";
  struct Case {
    std::string file;
    HotkeyValues values;
    bool chosen;
  } cases[] = {
      {six, {1, 49, 0, 112, 2, 70, 2, 123}, false},
      {six + "CtrlXY=2\r\nVKXY=123\r\n", {1, 49, 0, 112, 2, 123, 2, 1}, false},
      {"[HotKey]\r\nVKRun=123\r\n", {2, 123, 2, 84, 2, 70, 2, 1}, false},
      {"[HotKey]\r\nVKOver=123\r\nVKRecord=65\r\n", {2, 89, 2, 123, 2, 70, 2, 65}, false},
      {"[HotKey]\r\nVKOver=123\r\nCtrlRecord=2\r\nVKRecord=123\r\n",
       {2, 89, 2, 123, 2, 70, 2, 123},
       true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LoadFrom(c.file), c.values) << c.file;
    EXPECT_EQ(settings_.recordChosen(), c.chosen) << c.file;
  }
}

TEST_F(HotkeySettingsTest, SaveWritesAllEightKeysInOrderAndKeepsTheRecord) {
  settings_.Save(kDefaults);
  settings_.Save(kDefaults);
  Writes eight = {"HotKey/CtrlRun=2",    "HotKey/VKRun=89",    "HotKey/CtrlOver=2",
                  "HotKey/VKOver=84",    "HotKey/CtrlXY=2",    "HotKey/VKXY=70",
                  "HotKey/CtrlRecord=2", "HotKey/VKRecord=123"};
  Writes twice = eight;
  twice.insert(twice.end(), eight.begin(), eight.end());
  EXPECT_EQ(store_.writes, twice);
  EXPECT_EQ(
      store_.files[kPath],
      "[HotKey]\r\nCtrlRun=2\r\nVKRun=89\r\nCtrlOver=2\r\nVKOver=84\r\nCtrlXY=2\r\nVKXY=70\r\n"
      "CtrlRecord=2\r\nVKRecord=123\r\n");
  EXPECT_EQ(settings_.values(), HotkeyValues{});
}

TEST_F(HotkeySettingsTest, SaveLeavesOtherSectionsAndKeysUntouched) {
  store_.files[kPath] =
      "; notes\r\n[Window]\r\nLeft = 10\r\n\r\n[HotKey]\r\nVKRun=65\r\nColour=red\r\n\r\n"
      "[Tail]\r\nz=1";
  settings_.Save({1, 66, 0, 67, 2, 112, 1, 82});
  EXPECT_EQ(store_.files[kPath],
            "; notes\r\n[Window]\r\nLeft = 10\r\n\r\n[HotKey]\r\nVKRun=66\r\nColour=red\r\n"
            "CtrlRun=1\r\nCtrlOver=0\r\nVKOver=67\r\nCtrlXY=2\r\nVKXY=112\r\nCtrlRecord=1\r\n"
            "VKRecord=82\r\n\r\n[Tail]\r\nz=1");
}

TEST_F(HotkeySettingsTest, SaveThenLoadReturnsTheSavedValues) {
  HotkeyValues saved = {0, 1, 4, 123, 1, -7, 8, 1};
  settings_.Save(saved);
  settings_.Load();
  EXPECT_EQ(settings_.values(), saved);
  // Except that a key code saved as 0 comes back as its default.
  settings_.Save({0, 0, 0, 0, 0, 0, 0, 0});
  settings_.Load();
  EXPECT_EQ(settings_.values(), (HotkeyValues{0, 89, 0, 84, 0, 70, 0, 123}));
}

TEST_F(HotkeySettingsTest, LoadReadsOnlyTheFileAtThePath) {
  store_.files[AppendAscii({}, "elsewhere/config.ini")] = "[HotKey]\r\nVKRun=65\r\n";
  settings_.Load();
  EXPECT_EQ(settings_.values(), kDefaults);
}

}  // namespace
}  // namespace kestro
