// A recording becomes lines, the lines play through the runner in virtual
// time, and the played events are the recorded ones: the same buttons, keys
// and positions in the same order, each at its recorded offset from the one
// before. Exceptions: where the language's own cost is longer than the
// recorded gap, or the gap lies between that cost and the shortest wait on
// top of it, the nearest gap the language can play; and the parts of a
// merged click, tap or double click, which play at their (last) press.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "recorder/key_arguments.h"
#include "recorder/recording_conversion.h"
#include "resource_ids.h"
#include "runner/script_runner.h"
#include "script/script_file.h"
#include "testing/fake_input.h"
#include "testing/fake_main_window.h"
#include "text/system_texts.h"

namespace kestro {
namespace {

enum class StepKind { ButtonDown, ButtonUp, KeyDown, KeyUp, PathMove };

// A button or key transition, or a move of the cursor while a button is
// held, as recorded or as played.
struct Step {
  StepKind kind;
  int code = 0;  // button (0 left, 1 right) or generic key
  int x = 0;     // the cursor
  int y = 0;
  std::int64_t timeUs = 0;
};

bool IsPathMove(const Step& s) { return s.kind == StepKind::PathMove; }

std::vector<Step> RecordedSteps(const HookCapture& capture) {
  std::vector<Step> steps;
  bool held[2] = {};
  for (const HookEvent& e : capture.events) {
    auto button = [&](StepKind kind, int code) {
      held[code] = kind == StepKind::ButtonDown;
      steps.push_back({kind, code, e.x, e.y, e.timeUs});
    };
    switch (e.kind) {
      case HookEventKind::Move:
        if (held[0] || held[1]) steps.push_back({StepKind::PathMove, 0, e.x, e.y, e.timeUs});
        break;
      case HookEventKind::LeftDown:
        button(StepKind::ButtonDown, 0);
        break;
      case HookEventKind::LeftUp:
        button(StepKind::ButtonUp, 0);
        break;
      case HookEventKind::RightDown:
        button(StepKind::ButtonDown, 1);
        break;
      case HookEventKind::RightUp:
        button(StepKind::ButtonUp, 1);
        break;
      case HookEventKind::KeyDown:
        steps.push_back({StepKind::KeyDown, GenericKey(e.virtualKey), 0, 0, e.timeUs});
        break;
      case HookEventKind::KeyUp:
        steps.push_back({StepKind::KeyUp, GenericKey(e.virtualKey), 0, 0, e.timeUs});
        break;
      case HookEventKind::OtherButtonDown:
      case HookEventKind::OtherButtonUp:
      case HookEventKind::Wheel:
        break;
    }
  }
  return steps;
}

// Plays the lines as a run of one pass does, and notes every event with the
// virtual time it happened at.
std::vector<Step> Play(const std::vector<std::string>& lines) {
  FakeMainWindow window;
  window.lines = lines;
  window.texts[IDC_REPEAT_COUNT] = "1";
  FakeInput input;
  std::vector<Step> played;
  int x = 0, y = 0;
  bool held[2] = {};
  input.onCall = [&](const std::string& call) {
    std::int64_t now = input.virtualTimeUs;
    int a = 0, b = 0;
    char direction[8] = {};
    if (std::sscanf(call.c_str(), "move %d,%d", &a, &b) == 2) {
      x = a;
      y = b;
      if (held[0] || held[1]) played.push_back({StepKind::PathMove, 0, x, y, now});
    } else if (std::sscanf(call.c_str(), "mouse %d", &a) == 1) {
      // Downs before ups: a click's one call presses and releases.
      const struct {
        int flag;
        StepKind kind;
        int button;
      } bits[] = {{2, StepKind::ButtonDown, 0},
                  {8, StepKind::ButtonDown, 1},
                  {4, StepKind::ButtonUp, 0},
                  {16, StepKind::ButtonUp, 1}};
      for (const auto& bit : bits) {
        if (!(a & bit.flag)) continue;
        held[bit.button] = bit.kind == StepKind::ButtonDown;
        played.push_back({bit.kind, bit.button, x, y, now});
      }
    } else if (std::sscanf(call.c_str(), "key %d %7s", &a, direction) == 2) {
      StepKind kind = std::string(direction) == "up" ? StepKind::KeyUp : StepKind::KeyDown;
      played.push_back({kind, a, 0, 0, now});
    }
  };
  ScriptRunner runner(window, input, input, [](std::function<void()> body) {
    body();
    return true;
  });
  runner.StartRun();
  EXPECT_TRUE(window.messages.empty()) << "a recorded line was malformed";
  return played;
}

struct Anchor {
  std::int64_t playedUs;
  std::int64_t recordedUs;
};

// Pairs the played steps with the recorded ones and returns those that
// play at their recorded offsets: all but the releases of merged clicks and
// taps (played with their press) and the first click of a double click.
std::vector<Anchor> PairSteps(const std::vector<Step>& played, const std::vector<Step>& recorded) {
  std::vector<Anchor> anchors;
  std::size_t r = 0;
  for (std::size_t p = 0; p < played.size(); ++p) {
    const Step& step = played[p];
    if (IsPathMove(step)) {
      // A point of the recorded path, the thinning leaves out the others.
      while (r < recorded.size() && IsPathMove(recorded[r]) &&
             (recorded[r].x != step.x || recorded[r].y != step.y)) {
        ++r;
      }
      if (r >= recorded.size() || !IsPathMove(recorded[r])) {
        ADD_FAILURE() << "played move " << step.x << "," << step.y << " is not on the path";
        return {};
      }
    } else {
      while (r < recorded.size() && IsPathMove(recorded[r])) ++r;
      if (r >= recorded.size() || recorded[r].kind != step.kind || recorded[r].code != step.code ||
          recorded[r].x != step.x || recorded[r].y != step.y) {
        ADD_FAILURE() << "played step " << p << " differs from the recorded one";
        return {};
      }
    }
    const Step* before = p > 0 ? &played[p - 1] : nullptr;
    bool mergedRelease =
        (step.kind == StepKind::ButtonUp || step.kind == StepKind::KeyUp) && before &&
        before->code == step.code && before->timeUs == step.timeUs &&
        (before->kind == StepKind::ButtonDown || before->kind == StepKind::KeyDown);
    // Separate click lines play at least 210 ms apart; 200 ms is one
    // "双击鼠标" line.
    bool firstOfDoubleClick = step.kind == StepKind::ButtonDown && step.code == 0 &&
                              p + 2 < played.size() && played[p + 2].kind == step.kind &&
                              played[p + 2].code == 0 &&
                              played[p + 2].timeUs - step.timeUs == 200'000;
    if (!mergedRelease && !firstOfDoubleClick) {
      anchors.push_back({step.timeUs, recorded[r].timeUs});
    }
    ++r;
  }
  while (r < recorded.size() && IsPathMove(recorded[r])) ++r;
  EXPECT_EQ(r, recorded.size()) << "recorded steps left unplayed";
  return anchors;
}

struct GapCounts {
  int exact = 0;    // written as recorded
  int nearest = 0;  // between the language's cost and the shortest wait on top
  int minimum = 0;  // shorter than the language's cost
};

// The played gaps against the recorded ones. What the lines cost without
// their waits is taken from a second run of the same lines with the waits
// left out: the runner's timing, not the recorder's idea of it.
void ExpectTiming(const std::vector<std::string>& lines, const HookCapture& capture,
                  GapCounts* counts = nullptr) {
  std::vector<Step> recorded = RecordedSteps(capture);
  std::vector<Anchor> anchors = PairSteps(Play(lines), recorded);
  std::vector<std::string> withoutWaits;
  for (const std::string& line : lines) {
    if (line.rfind(text::kWaitKeyword, 0) != 0) withoutWaits.push_back(line);
  }
  std::vector<Anchor> fastest = PairSteps(Play(withoutWaits), recorded);
  ASSERT_EQ(anchors.size(), fastest.size());
  for (std::size_t k = 1; k < anchors.size(); ++k) {
    std::int64_t recordedGap = anchors[k].recordedUs - anchors[k - 1].recordedUs;
    std::int64_t playedGap = anchors[k].playedUs - anchors[k - 1].playedUs;
    std::int64_t cost = fastest[k].playedUs - fastest[k - 1].playedUs;
    SCOPED_TRACE(testing::Message() << "gap " << k << ": recorded " << recordedGap
                                    << " us, lines cost " << cost << " us");
    if (recordedGap - cost < 5'500) {
      EXPECT_EQ(playedGap, cost);
      if (counts) ++(recordedGap < cost ? counts->minimum : counts->nearest);
      continue;
    }
    EXPECT_NEAR(playedGap, std::max(recordedGap, cost + 11'000), 1'000);
    if (counts) ++(recordedGap < cost + 11'000 ? counts->nearest : counts->exact);
  }
}

ConversionSettings UsLayout() {
  FakeInput input;
  ConversionSettings settings;
  settings.keyCharacters = KeyCharactersOf(input);
  return settings;
}

// Lines a person could have typed: each fits the runner's 63 bytes, and the
// script comes back unchanged from a file.
void ExpectOrdinaryLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) EXPECT_LE(line.size(), 63u);
  EXPECT_EQ(ParseScriptText(ComposeScriptText("1", lines)).lines, lines);
}

HookEvent Event(double ms, HookEventKind kind, int x = 0, int y = 0, int key = 0) {
  return {kind, static_cast<std::int64_t>(ms * 1000), x, y, static_cast<std::uint8_t>(key)};
}

using enum HookEventKind;

TEST(RecordingRoundTripTest, HandWrittenStreams) {
  const struct {
    const char* name;
    std::vector<HookEvent> events;
  } streams[] = {
      {"clicks at two places with pauses of 300 ms and 1.5 s, then typing",
       {Event(0, LeftDown, 100, 100), Event(8, LeftUp, 100, 100), Event(300, LeftDown, 400, 90),
        Event(309, LeftUp, 400, 90), Event(1809, KeyDown, 0, 0, 160),
        Event(1900, KeyDown, 0, 0, 'H'), Event(1920, KeyUp, 0, 0, 'H'),
        Event(2010, KeyUp, 0, 0, 160), Event(2100, KeyDown, 0, 0, 'I'),
        Event(2121, KeyUp, 0, 0, 'I'), Event(2250, KeyDown, 0, 0, 13),
        Event(2270, KeyUp, 0, 0, 13)}},
      {"a drag with a slow and a fast stretch",
       {Event(0, Move, 10, 10), Event(50, RightDown, 10, 10), Event(300, Move, 20, 15),
        Event(350, Move, 30, 20), Event(355, Move, 31, 20), Event(360, Move, 32, 21),
        Event(366, Move, 40, 22), Event(390, Move, 50, 30), Event(700, RightUp, 50, 30)}},
      {"a double click, a slow click, and fast typing",
       {Event(0, LeftDown, 5, 5), Event(40, LeftUp, 5, 5), Event(180, LeftDown, 5, 5),
        Event(220, LeftUp, 5, 5), Event(900, LeftDown, 6, 6), Event(1300, LeftUp, 6, 6),
        Event(1310, KeyDown, 0, 0, 'A'), Event(1315, KeyUp, 0, 0, 'A'),
        Event(1322, KeyDown, 0, 0, 'B'), Event(1330, KeyUp, 0, 0, 'B'),
        Event(1340, KeyDown, 0, 0, 0xBE), Event(1350, KeyUp, 0, 0, 0xBE)}},
      {"a key held until it repeats",
       {Event(0, KeyDown, 0, 0, 40), Event(500, KeyDown, 0, 0, 40), Event(533, KeyDown, 0, 0, 40),
        Event(566, KeyDown, 0, 0, 40), Event(580, KeyUp, 0, 0, 40)}},
  };
  for (const auto& stream : streams) {
    SCOPED_TRACE(stream.name);
    HookCapture capture{{}, stream.events};
    ConvertedRecording converted = ConvertRecording(capture, UsLayout());
    EXPECT_EQ(converted.skippedKeys, 0);
    ExpectOrdinaryLines(converted.lines);
    ExpectTiming(converted.lines, capture);
  }
}

// Random gestures with random pauses: clicks, double clicks, drags, taps,
// held keys, chords with either Shift, Ctrl or Alt, and wandering moves.
class StreamGenerator {
 public:
  explicit StreamGenerator(unsigned seed) : random_(seed) {}

  HookCapture Generate(int gestures) {
    for (int i = 0; i < gestures; ++i) {
      Pause();
      switch (Uniform(0, 6)) {
        case 0:
          Click(Uniform(0, 3) == 0);
          break;
        case 1:
          DoubleClick();
          break;
        case 2:
          Drag();
          break;
        case 3:
          Tap(RandomKey());
          break;
        case 4:
          HeldKey();
          break;
        case 5:
          Chord();
          break;
        case 6:
          Wander();
          break;
      }
    }
    return capture_;
  }

 private:
  int Uniform(int low, int high) { return std::uniform_int_distribution(low, high)(random_); }

  // Short gaps hit the language's own costs, long ones the waits.
  void Pause() {
    switch (Uniform(0, 3)) {
      case 0:
        now_ += Uniform(0, 30'000);
        return;
      case 1:
        now_ += Uniform(0, 300'000);
        return;
      case 2:
        now_ += Uniform(100'000, 3'000'000);
        return;
      case 3:
        now_ += Uniform(0, 120'000'000);
        return;
    }
  }
  void Add(HookEventKind kind, int key = 0) {
    capture_.events.push_back({kind, now_, x_, y_, static_cast<std::uint8_t>(key)});
  }
  void MoveSomewhere() {
    int x = Uniform(-1920, 1919), y = Uniform(-200, 1079);
    if (x == x_ && y == y_) ++x;
    x_ = x;
    y_ = y;
    Add(Move);
  }
  void Click(bool right, std::int64_t longestHoldUs = 300'000) {
    Add(right ? RightDown : LeftDown);
    now_ += Uniform(0, static_cast<int>(longestHoldUs));
    Add(right ? RightUp : LeftUp);
  }
  void DoubleClick() {
    Click(false, 140'000);
    now_ += Uniform(10'000, 450'000);
    Click(false, 140'000);
  }
  void Drag() {
    bool right = Uniform(0, 1) == 1;
    Add(right ? RightDown : LeftDown);
    for (int n = Uniform(1, 12); n > 0; --n) {
      now_ += Uniform(0, 150'000);
      MoveSomewhere();
    }
    now_ += Uniform(0, 400'000);
    Add(right ? RightUp : LeftUp);
  }
  int RandomKey() {
    static const int keys[] = {'A', 'Q', 'Z', '0', '7', 13,   8,    9,   27, 32,
                               37,  40,  46,  112, 123, 0xBC, 0xBE, 173, 91};
    return keys[Uniform(0, static_cast<int>(std::size(keys)) - 1)];
  }
  void Tap(int key) {
    Add(KeyDown, key);
    now_ += Uniform(0, 200'000);
    Add(KeyUp, key);
  }
  void HeldKey() {
    int key = RandomKey();
    Add(KeyDown, key);
    now_ += Uniform(300'000, 600'000);
    for (int n = Uniform(1, 5); n > 0; --n) {
      Add(KeyDown, key);
      now_ += Uniform(25'000, 40'000);
    }
    Add(KeyUp, key);
  }
  void Chord() {
    static const int modifiers[] = {160, 161, 162, 163, 164, 165};
    int modifier = modifiers[Uniform(0, 5)];
    Add(KeyDown, modifier);
    now_ += Uniform(0, 150'000);
    if (Uniform(0, 2) > 0) Tap(RandomKey());
    now_ += Uniform(0, 150'000);
    Add(KeyUp, modifier);
  }
  void Wander() {
    for (int n = Uniform(1, 5); n > 0; --n) {
      now_ += Uniform(0, 50'000);
      MoveSomewhere();
    }
  }

  std::mt19937 random_;
  std::int64_t now_ = 5'000'000;
  int x_ = 100;
  int y_ = 100;
  HookCapture capture_;
};

TEST(RecordingRoundTripTest, GeneratedStreams) {
  GapCounts counts;
  for (unsigned seed = 1; seed <= 150; ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    HookCapture capture = StreamGenerator(seed).Generate(25);
    ConvertedRecording converted = ConvertRecording(capture, UsLayout());
    EXPECT_EQ(converted.skippedKeys, 0);
    ExpectOrdinaryLines(converted.lines);
    ExpectTiming(converted.lines, capture, &counts);
    if (HasFailure()) break;
  }
  // The streams reach all three kinds of gap, or the test proves little.
  EXPECT_GT(counts.exact, 1000);
  EXPECT_GT(counts.nearest, 50);
  EXPECT_GT(counts.minimum, 200);
}

}  // namespace
}  // namespace kestro
