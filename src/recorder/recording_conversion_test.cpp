#include "recorder/recording_conversion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recorder/key_arguments.h"
#include "testing/fake_input.h"
#include "testing/gbk_literal.h"

namespace kestro {
namespace {

using Lines = std::vector<std::string>;
using enum HookEventKind;

// Hand-written events, times in milliseconds from the recording's start.
HookEvent Mouse(double ms, HookEventKind kind, int x, int y) {
  return {kind, static_cast<std::int64_t>(ms * 1000), x, y};
}

HookEvent Key(double ms, HookEventKind kind, int virtualKey) {
  return {kind, static_cast<std::int64_t>(ms * 1000), 0, 0, static_cast<std::uint8_t>(virtualKey)};
}

HookEvent Turn(double ms, int x, int y, int delta) {
  HookEvent event = Mouse(ms, HookEventKind::Wheel, x, y);
  event.wheelDelta = delta;
  return event;
}

HookEvent AtOwnWindow(HookEvent event) {
  event.toOwnWindow = true;
  return event;
}

Lines Gbk(const std::vector<std::string>& utf8) {
  Lines lines;
  for (const std::string& line : utf8) lines.push_back(GbkFromUtf8(line));
  return lines;
}

ConversionSettings UsLayout() {
  FakeInput input;
  ConversionSettings settings;
  settings.keyCharacters = KeyCharactersOf(input);
  return settings;
}

struct Case {
  const char* name;
  HookCapture capture;
  std::vector<std::string> lines;  // UTF-8
  int skippedKeys = 0;
  std::uint32_t doubleClickTimeMs = 500;
};

void ExpectConverted(const Case& c, ConversionSettings settings = UsLayout()) {
  SCOPED_TRACE(c.name);
  settings.doubleClickTimeMs = c.doubleClickTimeMs;
  ConvertedRecording converted = ConvertRecording(c.capture, settings);
  EXPECT_EQ(converted.lines, Gbk(c.lines));
  EXPECT_EQ(converted.skippedKeys, c.skippedKeys);
}

// A button line plays its event 110 ms after it starts (10 ms line delay,
// 100 ms pause) and ends 100 ms later; a move, key or wait line starts
// after 10 ms; a wait plays one millisecond more than written.
TEST(RecordingConversionTest, Buttons) {
  const Case cases[] = {
      {"two clicks a second apart: the second after a move (10 ms) and a click (110 ms)",
       {{},
        {Mouse(0, LeftDown, 100, 200), Mouse(50, LeftUp, 100, 200), Mouse(1000, LeftDown, 300, 400),
         Mouse(1040, LeftUp, 300, 400)}},
       {"移动鼠标:100,200;", "单击鼠标:左键;", "等待时间:769;", "移动鼠标:300,400;",
        "单击鼠标:左键;"}},
      {"held longer than 150 ms: press and release, the release at the language's minimum",
       {{}, {Mouse(0, RightDown, 10, 10), Mouse(200, RightUp, 10, 10)}},
       {"移动鼠标:10,10;", "按住鼠标:右键;", "弹起鼠标:右键;"}},
      {"moved while held: no click",
       {{}, {Mouse(0, LeftDown, 10, 10), Mouse(20, Move, 12, 10), Mouse(40, LeftUp, 12, 10)}},
       {"移动鼠标:10,10;", "按住鼠标:左键;", "移动鼠标:12,10;", "弹起鼠标:左键;"}},
      {"a double click",
       {{},
        {Mouse(0, LeftDown, 5, 5), Mouse(30, LeftUp, 5, 5), Mouse(250, LeftDown, 5, 5),
         Mouse(280, LeftUp, 5, 5)}},
       {"移动鼠标:5,5;", "双击鼠标:左键;"}},
      {"two clicks further apart than the double-click time",
       {{},
        {Mouse(0, LeftDown, 5, 5), Mouse(30, LeftUp, 5, 5), Mouse(250, LeftDown, 5, 5),
         Mouse(280, LeftUp, 5, 5)}},
       {"移动鼠标:5,5;", "单击鼠标:左键;", "等待时间:29;", "单击鼠标:左键;"},
       0,
       150},
      {"a double-click time shorter than the played 200 ms: two clicks",
       {{},
        {Mouse(0, LeftDown, 5, 5), Mouse(30, LeftUp, 5, 5), Mouse(100, LeftDown, 5, 5),
         Mouse(130, LeftUp, 5, 5)}},
       {"移动鼠标:5,5;", "单击鼠标:左键;", "单击鼠标:左键;"},
       0,
       190},
      {"no right double click in the language",
       {{},
        {Mouse(0, RightDown, 5, 5), Mouse(30, RightUp, 5, 5), Mouse(400, RightDown, 5, 5),
         Mouse(430, RightUp, 5, 5)}},
       {"移动鼠标:5,5;", "单击鼠标:右键;", "等待时间:179;", "单击鼠标:右键;"}},
      {"a drag: its path one point per 20 ms and the last point, then the release",
       {{},
        {Mouse(0, LeftDown, 0, 0), Mouse(5, Move, 1, 1), Mouse(10, Move, 2, 2),
         Mouse(25, Move, 3, 3), Mouse(30, Move, 4, 4), Mouse(60, Move, 5, 5),
         Mouse(300, LeftUp, 5, 5)}},
       {"移动鼠标:0,0;", "按住鼠标:左键;", "移动鼠标:3,3;", "等待时间:14;", "移动鼠标:5,5;",
        "等待时间:119;", "弹起鼠标:左键;"}},
      {"moves with no button held are not written",
       {{},
        {Mouse(0, Move, 50, 50), Mouse(100, Move, 60, 60), Mouse(200, Move, 70, 70),
         Mouse(300, LeftDown, 70, 70), Mouse(310, LeftUp, 70, 70), Mouse(900, Move, 0, 0)}},
       {"移动鼠标:70,70;", "单击鼠标:左键;"}},
      {"screens left of and above the main one",
       {{}, {Mouse(0, LeftDown, -1920, -5), Mouse(10, LeftUp, -1920, -5)}},
       {"移动鼠标:-1920,-5;", "单击鼠标:左键;"}},
      {"the most negative number is no coordinate a move line takes",
       {{}, {Mouse(0, LeftDown, -2147483647 - 1, 0), Mouse(10, LeftUp, -2147483647 - 1, 0)}},
       {"移动鼠标:-2147483647,0;", "单击鼠标:左键;"}},
      {"middle and extra buttons are skipped",
       {{},
        {Mouse(0, OtherButtonDown, 1, 1), Mouse(10, OtherButtonUp, 1, 1),
         Mouse(20, OtherButtonDown, 1, 1), Mouse(30, OtherButtonUp, 1, 1)}},
       {},
       2},
  };
  for (const Case& c : cases) ExpectConverted(c);
}

TEST(RecordingConversionTest, Keys) {
  const Case cases[] = {
      {"Shift as its own lines around the unshifted character",
       {{},
        {Key(0, KeyDown, 160), Key(100, KeyDown, 'A'), Key(150, KeyUp, 'A'), Key(300, KeyUp, 160)}},
       {"按住键盘:(SHIFT键);", "等待时间:79;", "单击键盘:a;", "等待时间:179;",
        "弹起键盘:(SHIFT键);"}},
      {"right Ctrl and left Alt as the generic keys",
       {{},
        {Key(0, KeyDown, 163), Key(0, KeyDown, 164), Key(0, KeyDown, '1'), Key(0, KeyUp, '1'),
         Key(0, KeyUp, 164), Key(0, KeyUp, 163)}},
       {"按住键盘:(CTRL键);", "按住键盘:(ALT键);", "单击键盘:1;", "弹起键盘:(ALT键);",
        "弹起键盘:(CTRL键);"}},
      {"repeats of a held key are presses; the last gap rounds to the shortest wait",
       {{},
        {Key(0, KeyDown, 'X'), Key(500, KeyDown, 'X'), Key(533, KeyDown, 'X'),
         Key(550, KeyUp, 'X')}},
       {"按住键盘:x;", "等待时间:479;", "按住键盘:x;", "等待时间:12;", "按住键盘:x;", "等待时间:0;",
        "弹起键盘:x;"}},
      {"named keys by name, others by character, the rest skipped once per press",
       {{}, {Key(0, KeyDown, 13),   Key(0, KeyUp, 13),      // Enter
             Key(0, KeyDown, 0xBA), Key(0, KeyDown, 0xBA),  // ';', repeating
             Key(0, KeyUp, 0xBA),   Key(0, KeyDown, 36),    // Home
             Key(0, KeyUp, 36),     Key(0, KeyDown, 0x61),  // number pad 1
             Key(0, KeyUp, 0x61),   Key(0, KeyDown, 91),    // left Windows key
             Key(0, KeyUp, 91),     Key(0, KeyDown, 0xBE),  // '.'
             Key(0, KeyUp, 0xBE),   Key(0, KeyDown, 0xBC),  // ','
             Key(0, KeyUp, 0xBC),   Key(0, KeyDown, 116),   // F5
             Key(0, KeyUp, 116),    Key(0, KeyDown, 175),   // volume up
             Key(0, KeyUp, 175),    Key(0, KeyDown, 32),    // space
             Key(0, KeyUp, 32)}},
       // A lone '.' is a key line the loader gives back as it was written.
       {"单击键盘:(回车键);", "单击键盘:(左Win键);", "单击键盘:.;", "单击键盘:,;", "单击键盘:(F5);",
        "单击键盘:(音量+);", "单击键盘:(空格键);"},
       3},
      {"a press and a release with another key between are no tap",
       {{}, {Key(0, KeyDown, 'A'), Key(0, KeyDown, 'B'), Key(0, KeyUp, 'B'), Key(0, KeyUp, 'A')}},
       {"按住键盘:a;", "单击键盘:b;", "弹起键盘:a;"}},
  };
  for (const Case& c : cases) ExpectConverted(c);
}

TEST(RecordingConversionTest, WhatIsNotRecorded) {
  const Case cases[] = {
      {"a drag that began on the program's own window, and its release",
       {{},
        {AtOwnWindow(Mouse(0, LeftDown, 1, 1)), Mouse(50, Move, 200, 200),
         Mouse(100, LeftUp, 200, 200), Mouse(200, RightDown, 3, 3), Mouse(210, RightUp, 3, 3)}},
       {"移动鼠标:3,3;", "单击鼠标:右键;"}},
      {"keys typed into the program's own window, repeats and release too",
       {{},
        {AtOwnWindow(Key(0, KeyDown, 'A')), Key(500, KeyDown, 'A'), Key(520, KeyUp, 'A'),
         Key(600, KeyDown, 'C'), Key(620, KeyUp, 'C')}},
       {"单击键盘:c;"}},
      {"a release whose press was on the program's window goes too, wherever it is",
       {{}, {AtOwnWindow(Mouse(0, LeftDown, 1, 1)), Mouse(0, LeftUp, 500, 500)}},
       {}},
      {"releases of keys and buttons that went down before the recording",
       {{162, 82},
        {Key(0, KeyUp, 82), Key(10, KeyDown, 17), Key(20, KeyUp, 162), Mouse(30, LeftUp, 0, 0)}},
       {}},
  };
  for (const Case& c : cases) ExpectConverted(c);
}

TEST(RecordingConversionTest, HotkeyPressesAreNotRecorded) {
  ConversionSettings settings = UsLayout();
  settings.hotkeys = {{2, 'R'}, {2, 'T'}, {0, 120}, {9, 'D'}};
  const Case cases[] = {
      {"stopped by Ctrl+R: its presses, seen before the stop, are taken back",
       {{},
        {Mouse(0, LeftDown, 7, 7), Mouse(10, LeftUp, 7, 7), Key(1000, KeyDown, 162),
         Key(1100, KeyDown, 'R')}},
       {"移动鼠标:7,7;", "单击鼠标:左键;"}},
      {"started by Ctrl+R and still held: a second press ends it as well",
       {{162}, {Key(5000, KeyDown, 'R'), Key(5050, KeyUp, 'R'), Key(6000, KeyUp, 162)}},
       {}},
      {"Ctrl that served Ctrl+C before the hotkey stays, with its release",
       {{},
        {Key(0, KeyDown, 17), Key(100, KeyDown, 'C'), Key(150, KeyUp, 'C'), Key(300, KeyDown, 'T'),
         Key(350, KeyUp, 'T'), Key(500, KeyUp, 17)}},
       {"按住键盘:(CTRL键);", "等待时间:79;", "单击键盘:c;", "等待时间:379;",
        "弹起键盘:(CTRL键);"}},
      {"a bare-key hotkey, its repeats and release; with Shift it is no hotkey",
       {{},
        {Key(0, KeyDown, 120), Key(500, KeyDown, 120), Key(510, KeyUp, 120), Key(600, KeyDown, 160),
         Key(700, KeyDown, 120), Key(710, KeyUp, 120), Key(800, KeyUp, 160)}},
       {"按住键盘:(SHIFT键);", "等待时间:79;", "单击键盘:(F9);", "等待时间:79;",
        "弹起键盘:(SHIFT键);"}},
      {"a modifier held at the end for nothing: the hotkey that ended it, its key unseen",
       {{},
        {Key(0, KeyDown, 'A'), Key(0, KeyUp, 'A'), Key(500, KeyDown, 162),
         Key(1000, KeyDown, 162)}},
       {"单击键盘:a;"}},
      {"a modifier held at the end that served a key is let go at the end",
       {{}, {Key(0, KeyDown, 160), Key(100, KeyDown, 'A'), Key(150, KeyUp, 'A')}},
       {"按住键盘:(SHIFT键);", "等待时间:79;", "单击键盘:a;", "等待时间:29;",
        "弹起键盘:(SHIFT键);"}},
      {"other modifiers than the hotkey's: recorded",
       {{}, {Key(0, KeyDown, 18), Key(0, KeyDown, 'R'), Key(0, KeyUp, 'R'), Key(0, KeyUp, 18)}},
       {"按住键盘:(ALT键);", "单击键盘:r;", "弹起键盘:(ALT键);"}},
      {"Win+Alt as modifiers 9, the right Windows key included",
       {{},
        {Key(0, KeyDown, 92), Key(0, KeyDown, 165), Key(0, KeyDown, 'D'), Key(0, KeyUp, 'D'),
         Key(0, KeyUp, 165), Key(0, KeyUp, 92)}},
       {}},
  };
  for (const Case& c : cases) ExpectConverted(c, settings);
}

// The wheel at the cursor, as one line for turns closer together than a
// line's own 10 ms; a smooth wheel's parts of a notch add up.
TEST(RecordingConversionTest, Wheel) {
  const Case cases[] = {
      {"a notch away, then three towards",
       {{}, {Turn(0, 5, 5, 120), Turn(500, 5, 5, -120), Turn(505, 5, 5, -240)}},
       {"移动鼠标:5,5;", "滚动鼠标:1;", "等待时间:479;", "滚动鼠标:-3;"}},
      {"a smooth wheel's parts: a line at each whole notch",
       {{}, {Turn(0, 5, 5, 40), Turn(30, 5, 5, 40), Turn(60, 5, 5, 40), Turn(90, 5, 5, 40)}},
       {"移动鼠标:5,5;", "滚动鼠标:1;"}},
      {"a turn elsewhere is a line of its own, after the cursor's move",
       {{}, {Turn(0, 5, 5, 120), Turn(2, 9, 9, 120)}},
       {"移动鼠标:5,5;", "滚动鼠标:1;", "移动鼠标:9,9;", "滚动鼠标:1;"}},
      {"over the program's own window: left out",
       {{}, {AtOwnWindow(Turn(0, 1, 1, 120)), Key(10, KeyDown, 'A'), Key(10, KeyUp, 'A')}},
       {"单击键盘:a;"}},
  };
  for (const Case& c : cases) ExpectConverted(c);
}

// What is still held when the recording ends is released by its last
// lines, at its last moment, so no run leaves it down.
TEST(RecordingConversionTest, NothingStaysDown) {
  const Case cases[] = {
      {"a drag under way",
       {{}, {Mouse(0, LeftDown, 5, 5), Mouse(100, Move, 50, 60), Mouse(150, Move, 70, 80)}},
       {"移动鼠标:5,5;", "按住鼠标:左键;", "移动鼠标:50,60;", "等待时间:29;", "移动鼠标:70,80;",
        "弹起鼠标:左键;"}},
      // The release comes at the last event kept, the press here: a tap.
      {"W held while the program's own window is clicked",
       {{}, {Key(0, KeyDown, 'W'), AtOwnWindow(Mouse(300, LeftDown, 1, 1))}},
       {"单击键盘:w;"}},
      {"Ctrl held through Ctrl+C and the hotkey, the right button down",
       {{},
        {Key(0, KeyDown, 162), Key(100, KeyDown, 'C'), Key(150, KeyUp, 'C'),
         Mouse(400, RightDown, 9, 9), Key(500, KeyDown, 'R')}},
       {"按住键盘:(CTRL键);", "等待时间:79;", "单击键盘:c;", "等待时间:169;", "移动鼠标:9,9;",
        "单击鼠标:右键;", "弹起键盘:(CTRL键);"}},
      // Held when the hooks went in, then released and pressed again.
      {"a key held at the start, seen up: its next press is recorded",
       {{'C'}, {Key(10, KeyUp, 'C'), Key(300, KeyDown, 'C'), Key(350, KeyUp, 'C')}},
       {"单击键盘:c;"}},
  };
  ConversionSettings settings = UsLayout();
  settings.hotkeys = {{2, 'R'}};
  for (const Case& c : cases) ExpectConverted(c, settings);
}

TEST(RecordingConversionTest, WaitsAreWrittenAsRecordedHoweverLong) {
  const Case cases[] = {
      // 30 days: more than one wait line holds; each further line adds 11 ms.
      {"longer than a wait line holds",
       {{},
        {Key(0, KeyDown, 'A'), Key(0, KeyUp, 'A'), Key(2592000000.0, KeyDown, 'B'),
         Key(2592000000.0, KeyUp, 'B')}},
       {"单击键盘:a;", "等待时间:2147483647;", "等待时间:444516321;", "单击键盘:b;"}},
      {"a gap of 15.4 ms after a key: 5.4 ms more than the line delay, no wait",
       {{},
        {Key(0, KeyDown, 'A'), Key(0, KeyUp, 'A'), Key(15.4, KeyDown, 'B'), Key(15.4, KeyUp, 'B')}},
       {"单击键盘:a;", "单击键盘:b;"}},
      {"a gap of 15.6 ms: nearer to the shortest wait (21 ms)",
       {{},
        {Key(0, KeyDown, 'A'), Key(0, KeyUp, 'A'), Key(15.6, KeyDown, 'B'), Key(15.6, KeyUp, 'B')}},
       {"单击键盘:a;", "等待时间:0;", "单击键盘:b;"}},
      {"times that run backwards count as no time",
       {{},
        {Key(1000, KeyDown, 'A'), Key(1000, KeyUp, 'A'), Key(-5000, KeyDown, 'B'),
         Key(-5000, KeyUp, 'B'), Key(1100, KeyDown, 'C'), Key(1100, KeyUp, 'C')}},
       {"单击键盘:a;", "单击键盘:b;", "等待时间:79;", "单击键盘:c;"}},
      {"nothing at all", {}, {}},
  };
  for (const Case& c : cases) ExpectConverted(c);
}

// The character a key types depends on the layout: on a layout with Q where
// US keyboards have A, the A key is written as "q"; a character that needs
// Shift on its key is not the key's character.
TEST(RecordingConversionTest, CharactersComeFromTheLayoutARunUses) {
  FakeInput input;
  input.layout['q'] = 'A';
  input.layout['a'] = 'Q';
  input.layout['/'] = kScanShiftBit | 0xBF;
  ConversionSettings settings;
  settings.keyCharacters = KeyCharactersOf(input);
  HookCapture capture{{},
                      {Key(0, KeyDown, 'A'), Key(0, KeyUp, 'A'), Key(0, KeyDown, 'Q'),
                       Key(0, KeyUp, 'Q'), Key(0, KeyDown, 0xBF), Key(0, KeyUp, 0xBF)}};
  ConvertedRecording converted = ConvertRecording(capture, settings);
  EXPECT_EQ(converted.lines, Gbk({"单击键盘:q;", "单击键盘:a;"}));
  EXPECT_EQ(converted.skippedKeys, 1);
}

}  // namespace
}  // namespace kestro
