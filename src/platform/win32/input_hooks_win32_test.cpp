// The system's hooks with injected input: what they note of each event.
// In the SystemInputTest suite, whose tests take turns on the desktop.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "platform/input.h"
#include "platform/input_hooks.h"

namespace kestro {
namespace {

constexpr BYTE kF23 = 0x86, kF24 = 0x87;  // keys no window here reacts to

std::vector<HookEvent> KeyEventsOf(const HookCapture& capture, BYTE key) {
  std::vector<HookEvent> events;
  for (const HookEvent& event : capture.events) {
    if ((event.kind == HookEventKind::KeyDown || event.kind == HookEventKind::KeyUp) &&
        event.virtualKey == key) {
      events.push_back(event);
    }
  }
  return events;
}

// The program's own input carries no mark (recording and running exclude
// each other), so its events are noted like anybody else's.
TEST(SystemInputTest, HooksNoteInjectedKeysInTheirOrder) {
  std::int64_t begin = MonotonicMicroseconds();
  SystemInputHooks hooks;
  ASSERT_TRUE(hooks.Start(nullptr));
  EXPECT_TRUE(hooks.Start(nullptr));  // already installed
  SystemInput input;
  input.KeyEvent(kF24, false);
  input.KeyEvent(kF24, true);
  keybd_event(kF23, 0, 0, 0);  // as another program would inject it
  keybd_event(kF23, 0, KEYEVENTF_KEYUP, 0);
  Sleep(200);
  HookCapture capture = hooks.Stop();

  std::vector<HookEvent> own = KeyEventsOf(capture, kF24);
  ASSERT_EQ(own.size(), 2u);
  EXPECT_EQ(own[0].kind, HookEventKind::KeyDown);
  EXPECT_EQ(own[1].kind, HookEventKind::KeyUp);
  std::vector<HookEvent> others = KeyEventsOf(capture, kF23);
  ASSERT_EQ(others.size(), 2u);
  EXPECT_FALSE(others[0].toOwnWindow);  // this program has no window
  // Stamped on the clock of the waits, in the order they came.
  EXPECT_LE(begin, own[0].timeUs);
  EXPECT_LE(own[0].timeUs, own[1].timeUs);
  EXPECT_LE(own[1].timeUs, others[0].timeUs);
  EXPECT_LE(others[1].timeUs, MonotonicMicroseconds());

  EXPECT_TRUE(hooks.Stop().events.empty());  // nothing is installed any more
  EXPECT_GT(hooks.DoubleClickTimeMs(), 0u);
}

// A window of this program under the cursor and in front: a click on it
// and a key typed into it are aimed at this program.
TEST(SystemInputTest, HooksMarkPressesAimedAtThisProgramsWindows) {
  HWND window = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  SetForegroundWindow(window);
  SetCursorPos(100, 100);
  SystemInputHooks hooks;
  ASSERT_TRUE(hooks.Start(nullptr));
  mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
  keybd_event(kF23, 0, 0, 0);
  keybd_event(kF23, 0, KEYEVENTF_KEYUP, 0);
  Sleep(200);
  HookCapture capture = hooks.Stop();
  DestroyWindow(window);

  std::vector<HookEvent> presses;
  for (const HookEvent& event : capture.events) {
    if (event.kind == HookEventKind::RightDown || event.kind == HookEventKind::KeyDown) {
      presses.push_back(event);
    }
  }
  ASSERT_EQ(presses.size(), 2u);
  EXPECT_EQ(presses[0].kind, HookEventKind::RightDown);
  EXPECT_EQ(presses[0].x, 100);
  EXPECT_EQ(presses[0].y, 100);
  EXPECT_TRUE(presses[0].toOwnWindow);
  EXPECT_EQ(presses[1].virtualKey, kF23);
  EXPECT_TRUE(presses[1].toOwnWindow);
}

// The hooks store into room made ready between their calls: a burst
// longer than one chunk of room loses nothing, and moves with no button
// held keep only the last before each other event.
TEST(SystemInputTest, HooksKeepEveryKeyAndOnlyTheLastIdleMove) {
  SystemInputHooks hooks;
  ASSERT_TRUE(hooks.Start(nullptr));
  for (int i = 0; i < 300; ++i) mouse_event(MOUSEEVENTF_MOVE, i % 2 ? 1 : -1, 0, 0, 0);
  for (int i = 0; i < 9000; ++i) {
    keybd_event(kF24, 0, 0, 0);
    keybd_event(kF24, 0, KEYEVENTF_KEYUP, 0);
  }
  mouse_event(MOUSEEVENTF_MOVE, 1, 0, 0, 0);
  Sleep(300);
  HookCapture capture = hooks.Stop();

  std::size_t moves = 0;
  for (const HookEvent& event : capture.events) moves += event.kind == HookEventKind::Move;
  EXPECT_LE(moves, 2u);
  EXPECT_EQ(KeyEventsOf(capture, kF24).size(), 18000u);
}

}  // namespace
}  // namespace kestro
