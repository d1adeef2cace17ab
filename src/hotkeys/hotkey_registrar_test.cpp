#include "hotkeys/hotkey_registrar.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "hotkeys/options_dialog.h"
#include "resource_ids.h"
#include "testing/fake_main_window.h"
#include "testing/gbk_literal.h"
#include "testing/memory_settings_store.h"

namespace kestro {
namespace {

using Log = std::vector<std::string>;
using Combination = std::pair<int, int>;  // modifiers, key

// Atoms from 0xC000 up as the platform hands them out, and hotkeys that
// refuse a combination already held, by this window or by another program.
class FakeHotkeyPlatform : public HotkeyPlatform {
 public:
  std::uint16_t AddGlobalAtom(std::string_view name) override {
    calls.push_back("atom " + std::string(name));
    auto [atom, added] = atoms.try_emplace(std::string(name), nextAtom);
    if (added) ++nextAtom;
    return atom->second;
  }
  bool RegisterHotkey(NativeWindow window, int id, int modifiers, int key) override {
    windows.insert(window);
    calls.push_back("register " + std::to_string(id) + " " + std::to_string(modifiers) + " " +
                    std::to_string(key));
    Combination combination{modifiers, key};
    if (heldElsewhere.count(combination)) return false;
    for (const auto& [heldId, held] : registered) {
      if (held == combination) return false;
    }
    registered.emplace(id, combination);
    return true;
  }
  void UnregisterHotkey(NativeWindow window, int id) override {
    windows.insert(window);
    calls.push_back("unregister " + std::to_string(id));
    registered.erase(id);
  }
  ScreenPoint CursorPosition() override {
    calls.push_back("cursor");
    return cursor;
  }
  std::uint32_t ScreenPixel(int x, int y) override {
    calls.push_back("pixel " + std::to_string(x) + " " + std::to_string(y));
    return pixel;
  }

  Log calls;
  std::map<std::string, std::uint16_t> atoms;
  std::uint16_t nextAtom = 0xC000;
  std::set<NativeWindow> windows;
  std::multimap<int, Combination> registered;
  std::set<Combination> heldElsewhere;
  ScreenPoint cursor;
  std::uint32_t pixel = 0;
};

// Logs control texts in the order they are set.
class RecordingWindow : public FakeMainWindow {
 public:
  void SetControlText(int controlId, std::string_view text) override {
    textLog.push_back(std::to_string(controlId) + "=" + std::string(text));
    FakeMainWindow::SetControlText(controlId, text);
  }
  Log textLog;
};

constexpr int kRunId = 0xC000, kStopId = 0xC001, kCaptureId = 0xC002, kRecordId = 0xC003;
const std::string kRunRefused = "已有程序占用了热键,你将不能用热键运行脚本"_gbk;
const std::string kStopRefused = "已有程序占用了热键,你将不能用热键停止脚本"_gbk;
const std::string kCaptureRefused = "已有程序占用了热键,你将不能用热键取坐标"_gbk;
const std::string kRecordRefused = "已有程序占用了热键,你将不能用热键录制脚本"_gbk;

ShownMessage Notice(const std::string& text) {
  return {BoxOwner::MainWindow, text, "提示"_gbk, kBoxOk};
}

std::string File(const HotkeyValues& v) {
  return "[HotKey]\r\nCtrlRun=" + std::to_string(v.runModifiers) +
         "\r\nVKRun=" + std::to_string(v.runKey) +
         "\r\nCtrlOver=" + std::to_string(v.stopModifiers) +
         "\r\nVKOver=" + std::to_string(v.stopKey) +
         "\r\nCtrlXY=" + std::to_string(v.captureModifiers) +
         "\r\nVKXY=" + std::to_string(v.captureKey) +
         "\r\nCtrlRecord=" + std::to_string(v.recordModifiers) +
         "\r\nVKRecord=" + std::to_string(v.recordKey) + "\r\n";
}

class HotkeyRegistrarTest : public ::testing::Test {
 protected:
  HotkeyRegistrarTest() { settings_.BuildPath(AppendAscii({}, "kestro"), kSettingsFileName); }

  void SetFile(const HotkeyValues& values) { store_.files[settings_.path()] = File(values); }
  void StartUp() { RegisterHotkeysAtStartup(registrar_, settings_, &window_, nativeWindow_); }

  FakeHotkeyPlatform platform_;
  RecordingWindow window_;
  NativeWindow nativeWindow_ = &window_;
  MemorySettingsStore store_;
  HotkeySettings settings_{store_};
  Log actions_;
  HotkeyRegistrar registrar_{
      platform_,
      {[this] { actions_.push_back("start run"); }, [this] { actions_.push_back("request stop"); },
       [this] { actions_.push_back("toggle recording"); }}};
};

TEST_F(HotkeyRegistrarTest, StartUpRegistersCtrlYCtrlTCtrlFCtrlF12UnderTheirAtoms) {
  StartUp();
  EXPECT_EQ(platform_.calls,
            (Log{"atom Run", "atom Over", "atom XY", "atom Record", "register 49152 2 89",
                 "register 49153 2 84", "register 49154 2 70", "register 49155 2 123"}));
  EXPECT_EQ(platform_.windows, std::set<NativeWindow>{nativeWindow_});
  EXPECT_TRUE(window_.messages.empty());
}

TEST_F(HotkeyRegistrarTest, KeyCodeOneIsSkippedWithoutMessage) {
  SetFile({2, 1, 2, 84, 0, 1, 2, 1});
  StartUp();
  EXPECT_EQ(platform_.calls,
            (Log{"atom Run", "atom Over", "atom XY", "atom Record", "register 49153 2 84"}));
  EXPECT_TRUE(window_.messages.empty());
}

TEST_F(HotkeyRegistrarTest, RefusalsShowTheirMessagesInRegistrationOrder) {
  SetFile({2, 89, 2, 84, 2, 70, 2, 123});
  platform_.heldElsewhere = {{2, 89}, {2, 84}, {2, 70}, {2, 123}};
  StartUp();
  EXPECT_EQ(window_.messages,
            (std::vector<ShownMessage>{Notice(kRunRefused), Notice(kStopRefused),
                                       Notice(kCaptureRefused), Notice(kRecordRefused)}));
}

// Only a record hotkey the user chose is worth a box when it is refused.
TEST_F(HotkeyRegistrarTest, ARefusedDefaultRecordHotkeyIsSilent) {
  platform_.heldElsewhere = {{2, 123}};
  StartUp();
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_EQ(platform_.calls.back(), "register 49155 2 123");
}

TEST_F(HotkeyRegistrarTest, OneHeldCombinationLeavesTheOtherThreeWorking) {
  platform_.heldElsewhere = {{2, 84}};
  StartUp();
  EXPECT_EQ(window_.messages, std::vector<ShownMessage>{Notice(kStopRefused)});
  EXPECT_EQ(platform_.registered.count(kRunId), 1u);
  EXPECT_EQ(platform_.registered.count(kStopId), 0u);
  EXPECT_EQ(platform_.registered.count(kCaptureId), 1u);
  EXPECT_EQ(platform_.registered.count(kRecordId), 1u);

  // It is refused again after every confirmed options dialog.
  ReregisterHotkeysAfterOptions(kOptionsConfirmed, registrar_, settings_);
  EXPECT_EQ(window_.messages, std::vector<ShownMessage>(2, Notice(kStopRefused)));
}

// A start that plays a script for a scheduled task waits on no box.
TEST_F(HotkeyRegistrarTest, QuietRefusalsShowNothingAndRegisterTheRest) {
  platform_.heldElsewhere = {{2, 84}};
  registrar_.KeepRefusalsQuiet();
  StartUp();
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_EQ(platform_.registered.count(kRunId), 1u);
  EXPECT_EQ(platform_.registered.count(kStopId), 0u);
}

TEST_F(HotkeyRegistrarTest, SameCombinationTwiceRefusesTheLaterAndActsAsTheEarlier) {
  SetFile({2, 89, 2, 89, 2, 70, 2, 70});
  StartUp();
  EXPECT_EQ(window_.messages,
            (std::vector<ShownMessage>{Notice(kStopRefused), Notice(kRecordRefused)}));
  registrar_.HandleHotkey(2, 89);
  EXPECT_EQ(actions_, Log{"start run"});
  registrar_.HandleHotkey(2, 70);  // captures, and does not record as well
  EXPECT_EQ(actions_, Log{"start run"});
  EXPECT_EQ(window_.textLog.size(), 6u);
}

TEST_F(HotkeyRegistrarTest, ValuesAreRegisteredAndMatchedExactlyAsStored) {
  // A bare key (modifiers 0), Shift (4) and Win+Alt (9): no dialog choice,
  // still passed through.
  SetFile({0, 112, 4, 32, 9, 70, 8, 123});
  StartUp();
  EXPECT_EQ(Log(platform_.calls.begin() + 4, platform_.calls.end()),
            (Log{"register 49152 0 112", "register 49153 4 32", "register 49154 9 70",
                 "register 49155 8 123"}));

  struct Case {
    Hotkey hotkey;
    int modifiers, key;
    bool matches;
  } cases[] = {
      {Hotkey::Run, 0, 112, true},
      {Hotkey::Run, 2, 112, false},
      {Hotkey::Run, 0, 113, false},
      {Hotkey::Stop, 4, 32, true},
      {Hotkey::Stop, 0, 112, false},
      {Hotkey::Capture, 9, 70, true},
      {Hotkey::Capture, 8, 70, false},
      {Hotkey::Record, 8, 123, true},
      {Hotkey::Record, 0, 123, false},
      {Hotkey::Record, 9, 70, false},
      {static_cast<Hotkey>(5), 0, 112, false},
      {static_cast<Hotkey>(0), 0, 112, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(registrar_.Matches(c.hotkey, c.modifiers, c.key), c.matches)
        << static_cast<int>(c.hotkey) << " " << c.modifiers << " " << c.key;
  }
}

TEST_F(HotkeyRegistrarTest, MessageDispatchesByModifiersAndKey) {
  StartUp();
  auto press = [this](int modifiers, int key) {
    registrar_.HandleHotkeyMessage(static_cast<std::uintptr_t>(key) << 16 | modifiers);
  };
  press(2, 89);
  press(2, 84);
  press(1, 89);  // Alt+Y: none of them
  press(2, 90);
  press(2, 123);
  press(4, 123);  // Shift+F12: none of them
  EXPECT_EQ(actions_, (Log{"start run", "request stop", "toggle recording"}));
  EXPECT_TRUE(window_.textLog.empty());
  press(2, 70);
  EXPECT_EQ(window_.textLog.size(), 6u);
  EXPECT_EQ(actions_.size(), 3u);
}

TEST_F(HotkeyRegistrarTest, AProgramWithoutRecordingIgnoresTheRecordHotkey) {
  HotkeyRegistrar registrar(platform_, {[this] { actions_.push_back("start run"); }, {}, {}});
  registrar.Attach(&window_, nativeWindow_, "Run", "Over", "XY", "Record");
  settings_.Load();
  registrar.CopyFrom(settings_);
  registrar.HandleHotkey(2, 123);
  registrar.HandleHotkey(2, 84);
  EXPECT_TRUE(actions_.empty());
}

TEST_F(HotkeyRegistrarTest, CaptureWritesPositionThenColourAsBlueGreenRed) {
  StartUp();
  platform_.calls.clear();
  struct Case {
    ScreenPoint cursor;
    std::uint32_t pixel;
    Log texts;
  } cases[] = {
      // Pure red, pure blue; the colour wait's fields take the same.
      {{640, 480},
       0x0000FF,
       {"1006=640", "1007=480", "1026=颜色:0000FF"_gbk, "1046=640", "1047=480", "1048=0000FF"}},
      {{0, 0},
       0xFF0000,
       {"1006=0", "1007=0", "1026=颜色:FF0000"_gbk, "1046=0", "1047=0", "1048=FF0000"}},
      {{-5, -1080},
       0x000123,
       {"1006=-5", "1007=-1080", "1026=颜色:000123"_gbk, "1046=-5", "1047=-1080", "1048=000123"}},
      {{7, 8},
       kInvalidColour,
       {"1006=7", "1007=8", "1026=颜色:FFFFFFFF"_gbk, "1046=7", "1047=8", "1048=FFFFFFFF"}},
  };
  for (const Case& c : cases) {
    window_.textLog.clear();
    platform_.cursor = c.cursor;
    platform_.pixel = c.pixel;
    registrar_.HandleHotkey(2, 70);
    EXPECT_EQ(window_.textLog, c.texts);
  }
  EXPECT_EQ(Log(platform_.calls.begin(), platform_.calls.begin() + 2),
            (Log{"cursor", "pixel 640 480"}));
}

TEST_F(HotkeyRegistrarTest, AfterOkAllThreeAreReleasedAndRegisteredFromTheFile) {
  StartUp();
  platform_.calls.clear();
  SetFile({1, 49, 2, 84, 0, 123, 1, 50});
  ReregisterHotkeysAfterOptions(kOptionsConfirmed, registrar_, settings_);
  EXPECT_EQ(platform_.calls, (Log{"unregister 49152", "unregister 49153", "unregister 49154",
                                  "unregister 49155", "register 49152 1 49", "register 49153 2 84",
                                  "register 49154 0 123", "register 49155 1 50"}));
  // The unchanged stop hotkey comes back without a message.
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_FALSE(registrar_.Matches(Hotkey::Run, 2, 89));
  EXPECT_TRUE(registrar_.Matches(Hotkey::Run, 1, 49));
}

TEST_F(HotkeyRegistrarTest, AnyOtherDialogResultKeepsTheRegistrationsInForce) {
  StartUp();
  platform_.calls.clear();
  SetFile({1, 49, 1, 50, 1, 51, 1, 52});
  for (int result : {int{kOptionsCancelled}, 0, -1}) {
    ReregisterHotkeysAfterOptions(result, registrar_, settings_);
  }
  EXPECT_TRUE(platform_.calls.empty());
  EXPECT_EQ(registrar_.values(), (HotkeyValues{2, 89, 2, 84, 2, 70, 2, 123}));
}

TEST_F(HotkeyRegistrarTest, ExitReleasesRunStopCaptureRecordInOrder) {
  SetFile({2, 1, 2, 84, 2, 70, 2, 82});  // run was never registered: released all the same
  StartUp();
  platform_.calls.clear();
  UnregisterHotkeysAtExit(registrar_);
  EXPECT_EQ(platform_.calls,
            (Log{"unregister 49152", "unregister 49153", "unregister 49154", "unregister 49155"}));
  EXPECT_TRUE(platform_.registered.empty());
}

TEST_F(HotkeyRegistrarTest, NothingHappensWithoutAttach) {
  registrar_.Attach(&window_, nativeWindow_, "Run", "Over", "XY", nullptr);
  settings_.Load();
  registrar_.CopyFrom(settings_);
  registrar_.RegisterAll();
  registrar_.UnregisterAll();
  registrar_.HandleHotkey(2, 70);  // capture has no window to write to
  EXPECT_TRUE(platform_.calls.empty());
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_TRUE(window_.textLog.empty());
}

}  // namespace
}  // namespace kestro
