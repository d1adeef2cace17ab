#include "hotkeys/options_dialog.h"

#include <gtest/gtest.h>

#include <sstream>

#include "resource_ids.h"
#include "testing/fake_main_window.h"
#include "testing/gbk_literal.h"
#include "testing/hex.h"
#include "testing/memory_settings_store.h"

namespace kestro {

// Test output names a choice's text by its GBK bytes.
void PrintTo(const HotkeyChoice& c, std::ostream* out) {
  *out << "{" << c.index << ", " << c.value << ", " << Hex(c.name) << "}";
}

namespace {

using Writes = std::vector<std::string>;

const int kCombos[] = {IDC_RUN_MODIFIERS,    IDC_RUN_KEY,           IDC_STOP_MODIFIERS,
                       IDC_STOP_KEY,         IDC_CAPTURE_MODIFIERS, IDC_CAPTURE_KEY,
                       IDC_RECORD_MODIFIERS, IDC_RECORD_KEY};

TEST(HotkeyChoiceTablesTest, ModifierChoicesAreNoneCtrlAlt) {
  HotkeyChoiceTables tables;
  EXPECT_EQ(tables.modifierChoices(),
            (std::vector<HotkeyChoice>{{1, 0, "无"_gbk}, {2, 2, "CTRL"}, {3, 1, "ALT"}}));
  EXPECT_EQ(Hex(tables.modifierChoices()[0].name), "CE DE");
  EXPECT_EQ(tables.currentValues(), HotkeyValues{});
}

TEST(HotkeyChoiceTablesTest, KeyChoicesAreNoneDigitsLettersAndFunctionKeys) {
  std::vector<HotkeyChoice> expected = {{1, 1, "无"_gbk}};
  std::istringstream names(
      "0 1 2 3 4 5 6 7 8 9 A B C D E F G H I J K L M N O P Q R S T U V W X Y Z "
      "F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 F11 F12");
  std::string name;
  while (names >> name) {
    int index = static_cast<int>(expected.size()) + 1;
    int value = index <= 11 ? 48 + index - 2 : index <= 37 ? 65 + index - 12 : 112 + index - 38;
    expected.push_back({index, value, name});
  }
  ASSERT_EQ(expected.size(), 49u);
  HotkeyChoiceTables tables;
  EXPECT_EQ(tables.keyChoices(), expected);
  EXPECT_EQ(tables.keyChoices()[25].value, 'O');
  EXPECT_EQ(tables.keyChoices()[48].value, 123);  // VK_F12
}

class OptionsDialogTest : public ::testing::Test {
 protected:
  OptionsDialogTest() { settings_.BuildPath(AppendAscii({}, "kestro"), kSettingsFileName); }

  std::string& File() { return store_.files[settings_.path()]; }
  std::string ComboText(int combo) { return window_.texts[combo]; }
  int Selection(int combo) { return window_.combos[combo].selection; }

  MemorySettingsStore store_;
  HotkeySettings settings_{store_};
  HotkeyChoiceTables tables_;
  OptionsDialog dialog_{tables_, settings_};
  FakeMainWindow window_;
};

TEST_F(OptionsDialogTest, FreshInstallShowsCtrlYCtrlTCtrlFCtrlF12) {
  dialog_.OnInit(window_);
  std::vector<std::string> shown;
  std::vector<int> positions, counts;
  for (int combo : kCombos) {
    shown.push_back(ComboText(combo));
    positions.push_back(Selection(combo));
    counts.push_back(static_cast<int>(window_.combos[combo].entries.size()));
  }
  EXPECT_EQ(shown,
            (std::vector<std::string>{"CTRL", "Y", "CTRL", "T", "CTRL", "F", "CTRL", "F12"}));
  EXPECT_EQ(positions, (std::vector<int>{1, 35, 1, 30, 1, 16, 1, 48}));
  EXPECT_EQ(counts, (std::vector<int>{3, 49, 3, 49, 3, 49, 3, 49}));
  EXPECT_EQ(window_.combos[IDC_RUN_KEY].entries[48], "F12");
  EXPECT_TRUE(store_.writes.empty());
}

TEST_F(OptionsDialogTest, OkWritesAllEightKeysAlsoUnchangedAndCreatesTheFile) {
  dialog_.OnInit(window_);
  EXPECT_EQ(dialog_.OnCommand(1, window_), kOptionsConfirmed);
  EXPECT_EQ(store_.writes, (Writes{"HotKey/CtrlRun=2", "HotKey/VKRun=89", "HotKey/CtrlOver=2",
                                   "HotKey/VKOver=84", "HotKey/CtrlXY=2", "HotKey/VKXY=70",
                                   "HotKey/CtrlRecord=2", "HotKey/VKRecord=123"}));
  EXPECT_EQ(
      File(),
      "[HotKey]\r\nCtrlRun=2\r\nVKRun=89\r\nCtrlOver=2\r\nVKOver=84\r\nCtrlXY=2\r\nVKXY=70\r\n"
      "CtrlRecord=2\r\nVKRecord=123\r\n");
}

TEST_F(OptionsDialogTest, ChosenEntriesAreWrittenNoneAsKeyOneAndModifierZero) {
  dialog_.OnInit(window_);
  window_.ComboSelect(IDC_RUN_MODIFIERS, 0);     // 无
  window_.ComboSelect(IDC_RUN_KEY, 38);          // F2
  window_.ComboSelect(IDC_STOP_MODIFIERS, 2);    // ALT
  window_.ComboSelect(IDC_STOP_KEY, 0);          // 无
  window_.ComboSelect(IDC_CAPTURE_KEY, 1);       // 0
  window_.ComboSelect(IDC_RECORD_MODIFIERS, 2);  // ALT
  window_.ComboSelect(IDC_RECORD_KEY, 48);       // F12
  ASSERT_EQ(dialog_.OnCommand(1, window_), kOptionsConfirmed);
  settings_.Load();
  EXPECT_EQ(settings_.values(), (HotkeyValues{0, 113, 1, 1, 2, 48, 1, 123}));

  // "无" in the fourth row as well: key 1, modifier 0.
  dialog_.OnInit(window_);
  window_.ComboSelect(IDC_RECORD_MODIFIERS, 0);
  window_.ComboSelect(IDC_RECORD_KEY, 0);
  ASSERT_EQ(dialog_.OnCommand(1, window_), kOptionsConfirmed);
  settings_.Load();
  EXPECT_EQ(settings_.values(), (HotkeyValues{0, 113, 1, 1, 2, 48, 0, 1}));
}

TEST_F(OptionsDialogTest, StoredValueThatIsNoChoiceOpensEmptyAndIsWrittenBackUnchanged) {
  File() = "[HotKey]\r\nCtrlRun=4\r\nVKRun=32\r\nCtrlOver=9\r\nVKOver=-3\r\nCtrlRecord=8\r\n";
  dialog_.OnInit(window_);
  EXPECT_EQ(Selection(IDC_RUN_MODIFIERS), -1);
  EXPECT_EQ(Selection(IDC_RUN_KEY), -1);
  EXPECT_EQ(ComboText(IDC_RUN_KEY), "");
  EXPECT_EQ(Selection(IDC_STOP_MODIFIERS), -1);
  EXPECT_EQ(Selection(IDC_STOP_KEY), -1);
  EXPECT_EQ(Selection(IDC_RECORD_MODIFIERS), -1);
  EXPECT_EQ(ComboText(IDC_RECORD_KEY), "F12");
  // Only the selection counts: text typed into a box is never read.
  window_.SetControlText(IDC_RUN_KEY, "A");
  ASSERT_EQ(dialog_.OnCommand(1, window_), kOptionsConfirmed);
  settings_.Load();
  EXPECT_EQ(settings_.values(), (HotkeyValues{4, 32, 9, -3, 2, 70, 8, 123}));
}

TEST_F(OptionsDialogTest, SameCombinationForTwoActionsIsAccepted) {
  dialog_.OnInit(window_);
  window_.ComboSelect(IDC_STOP_KEY, 35);  // Y, as run
  ASSERT_EQ(dialog_.OnCommand(1, window_), kOptionsConfirmed);
  settings_.Load();
  EXPECT_EQ(settings_.values(), (HotkeyValues{2, 89, 2, 89, 2, 70, 2, 123}));
}

TEST_F(OptionsDialogTest, CancelAndOtherCommandsReadAndWriteNothing) {
  File() = "[HotKey]\r\nVKRun=65\r\n";
  dialog_.OnInit(window_);
  window_.ComboSelect(IDC_RUN_KEY, 1);
  for (int command : {IDC_RUN_KEY, IDC_CAPTURE_KEY, IDM_OPTIONS, 0}) {
    EXPECT_EQ(dialog_.OnCommand(command, window_), std::nullopt) << command;
  }
  EXPECT_EQ(dialog_.OnCommand(2, window_), kOptionsCancelled);
  EXPECT_TRUE(store_.writes.empty());
  EXPECT_EQ(File(), "[HotKey]\r\nVKRun=65\r\n");
  EXPECT_EQ(tables_.currentValues().runKey, 65);
}

TEST_F(OptionsDialogTest, EveryOpeningShowsWhatTheFileHoldsNow) {
  dialog_.OnInit(window_);
  window_.ComboSelect(IDC_RUN_KEY, 1);
  EXPECT_EQ(dialog_.OnCommand(2, window_), kOptionsCancelled);

  File() = "[HotKey]\r\nCtrlRun=1\r\nVKRun=112\r\n";  // changed outside the program
  FakeMainWindow reopened;
  dialog_.OnInit(reopened);
  EXPECT_EQ(reopened.texts[IDC_RUN_MODIFIERS], "ALT");
  EXPECT_EQ(reopened.texts[IDC_RUN_KEY], "F1");
  EXPECT_EQ(tables_.currentValues(), (HotkeyValues{1, 112, 2, 84, 2, 70, 2, 123}));
}

TEST_F(OptionsDialogTest, SlotsOutsideOneToEightDoNothing) {
  tables_.CopyFrom(settings_);
  for (int slot : {0, 9, -1}) {
    tables_.FillCombo(slot, window_, IDC_RUN_KEY);
    window_.combos[IDC_RUN_KEY].selection = 0;
    tables_.ReadCombo(slot, window_, IDC_RUN_KEY);
  }
  EXPECT_TRUE(window_.combos[IDC_RUN_KEY].entries.empty());
  EXPECT_EQ(tables_.currentValues(), HotkeyValues{});
}

}  // namespace
}  // namespace kestro
