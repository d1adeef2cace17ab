// Plays input through the real Win32 calls and watches it arrive with
// low-level hooks, as any other program on the desktop would see it.
#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/input.h"
#include "runner/line_executor.h"
#include "testing/fake_main_window.h"
#include "testing/gbk_literal.h"
#include "testing/input_recorder_win32.h"
#include "testing/input_timeline_win32.h"

namespace kestro {
namespace {

using Events = std::vector<std::string>;

TEST(SystemInputTest, MouseFlagsArriveAsTheirButtonEvents) {
  InputRecorder recorder;
  SystemInput input;
  struct Case {
    std::uint32_t flags;
    Events events;
  } cases[] = {
      {kMouseLeftDown | kMouseLeftUp, {"lbutton down", "lbutton up"}},
      {kMouseRightDown | kMouseRightUp, {"rbutton down", "rbutton up"}},
      {kMouseLeftDown, {"lbutton down"}},
      {kMouseLeftUp, {"lbutton up"}},
      {kMouseRightDown, {"rbutton down"}},
      {kMouseRightUp, {"rbutton up"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flags);
    input.MouseEvent(c.flags);
    EXPECT_EQ(recorder.Take(c.events.size()), c.events);
  }
}

TEST(SystemInputTest, KeyEventsCarryTheirVirtualKeyAndUpFlag) {
  InputRecorder recorder;
  SystemInput input;
  input.KeyEvent(0x41, false);
  input.KeyEvent(0x41, true);
  input.KeyEvent(VK_RETURN, false);
  input.KeyEvent(VK_RETURN, true);
  EXPECT_EQ(recorder.Take(4), (Events{"key 65 down", "key 65 up", "key 13 down", "key 13 up"}));
}

// Other programs see the input as anybody's: no extra information.
TEST(SystemInputTest, InputCarriesNoExtraInformation) {
  InputTimeline timeline(Swallow::InjectedKeysAndButtons);
  SystemInput input;
  input.KeyEvent(VK_F24, false);
  input.KeyEvent(VK_F24, true);
  input.MouseEvent(kMouseRightDown | kMouseRightUp);
  std::vector<TimedInput> seen;
  for (int i = 0; i < 200 && seen.size() < 4; ++i) {
    for (TimedInput& event : timeline.Take()) {
      if (event.injected && event.what != "move") seen.push_back(event);
    }
    Sleep(10);
  }
  ASSERT_EQ(seen.size(), 4u);
  for (const TimedInput& event : seen) EXPECT_EQ(event.extraInfo, 0u) << event.what;
}

TEST(SystemInputTest, ScriptLinesPlayInTheirOrder) {
  InputRecorder recorder;
  SystemInput input;
  SystemClock clock;
  FakeMainWindow window;
  // A shifted character: Shift wraps the tap. Shift arrives as the generic
  // or the left Shift key, depending on the system.
  ExecuteLine("单击键盘:A;"_gbk, input, clock, window);
  Events events = recorder.Take(4);
  ASSERT_EQ(events.size(), 4u);
  for (std::string* shift : {&events[0], &events[3]}) {
    if (shift->rfind("key 160 ", 0) == 0) shift->replace(4, 3, "16");
  }
  EXPECT_EQ(events, (Events{"key 16 down", "key 65 down", "key 65 up", "key 16 up"}));

  ExecuteLine("单击键盘:(回车键);"_gbk, input, clock, window);
  ExecuteLine("双击鼠标:左键;"_gbk, input, clock, window);
  EXPECT_EQ(recorder.Take(6), (Events{"key 13 down", "key 13 up", "lbutton down", "lbutton up",
                                      "lbutton down", "lbutton up"}));
  EXPECT_TRUE(window.messages.empty());
}

TEST(SystemInputTest, CursorMovesAreReadBack) {
  SystemInput input;
  for (POINT target : {POINT{123, 234}, POINT{0, 0}, POINT{640, 480}}) {
    input.MoveCursor(target.x, target.y);
    POINT now{};
    ASSERT_TRUE(GetCursorPos(&now));
    EXPECT_EQ(now.x, target.x);
    EXPECT_EQ(now.y, target.y);
  }
}

TEST(SystemInputTest, CharactersScanOnTheUsLayout) {
  SystemInput input;
  EXPECT_EQ(input.ScanCharacter('a'), 0x41);
  EXPECT_EQ(input.ScanCharacter('A'), 0x141);
  EXPECT_EQ(input.ScanCharacter('1'), 0x31);
  EXPECT_EQ(input.ScanCharacter('!'), 0x131);
}

}  // namespace
}  // namespace kestro
