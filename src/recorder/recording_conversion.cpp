#include "recorder/recording_conversion.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "recorder/key_arguments.h"
#include "recorder/recorded_transitions.h"
#include "recorder/replay_timing.h"
#include "script/line_costs.h"
#include "script/script_language.h"
#include "text/system_texts.h"

namespace kestro {
namespace {

constexpr std::int64_t kLongestClickUs = 150'000;
constexpr std::int64_t kPathStepUs = 20'000;
// What separates the two clicks of a "双击鼠标" line when it plays.
const std::int64_t kPlayedDoubleClickUs =
    CostOf(CommandId::DoubleClickMouse).leadUs - CostOf(CommandId::ClickMouse).leadUs;

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

Point PointOf(const Transition& t) { return {t.x, t.y}; }

bool IsButton(const Transition& t) {
  return t.kind == TransitionKind::ButtonDown || t.kind == TransitionKind::ButtonUp;
}

std::string MoveLine(Point point) {
  return ComposeLine(CommandId::MoveMouse, std::to_string(point.x) + "," + std::to_string(point.y));
}

class UnitWriter {
 public:
  UnitWriter(const std::vector<Transition>& transitions, const ConversionSettings& settings)
      : transitions_(transitions), settings_(settings) {}

  std::vector<TimedUnit> Write();

 private:
  std::size_t ButtonDown(std::size_t i);
  void ButtonUp(std::size_t i);
  void PathPoint(std::size_t i);
  std::size_t KeyDown(std::size_t i);
  std::size_t Wheel(std::size_t i);

  bool IsClickAt(std::size_t i) const;
  bool EndsThePathBeforeAButton(std::size_t i) const;
  void AddButtonUnit(std::int64_t recordedUs, Point point, CommandId command, bool right);
  void AddKeyUnit(std::int64_t recordedUs, CommandId command, std::uint8_t key);

  const std::vector<Transition>& transitions_;
  const ConversionSettings& settings_;
  std::vector<TimedUnit> units_;
  std::optional<Point> cursor_;  // where the lines written so far leave it
  std::int64_t lastPathUs_ = 0;
  // The wheel's turn not yet written: less than a notch, or what a smooth
  // wheel sends in parts.
  int wheelCarry_ = 0;
};

std::vector<TimedUnit> UnitWriter::Write() {
  for (std::size_t i = 0; i < transitions_.size();) {
    switch (transitions_[i].kind) {
      case TransitionKind::ButtonDown:
        i += ButtonDown(i);
        continue;
      case TransitionKind::ButtonUp:
        ButtonUp(i);
        break;
      case TransitionKind::Move:
        PathPoint(i);
        break;
      case TransitionKind::KeyDown:
        i += KeyDown(i);
        continue;
      case TransitionKind::KeyUp:
        AddKeyUnit(transitions_[i].timeUs, CommandId::ReleaseKey, transitions_[i].key);
        break;
      case TransitionKind::Wheel:
        i += Wheel(i);
        continue;
    }
    ++i;
  }
  return std::move(units_);
}

bool UnitWriter::IsClickAt(std::size_t i) const {
  if (i + 1 >= transitions_.size()) return false;
  const Transition& down = transitions_[i];
  const Transition& up = transitions_[i + 1];
  return down.kind == TransitionKind::ButtonDown && up.kind == TransitionKind::ButtonUp &&
         up.rightButton == down.rightButton && PointOf(up) == PointOf(down) &&
         up.timeUs - down.timeUs <= kLongestClickUs;
}

// Returns how many transitions it wrote.
std::size_t UnitWriter::ButtonDown(std::size_t i) {
  const Transition& down = transitions_[i];
  lastPathUs_ = down.timeUs;
  if (!IsClickAt(i)) {
    AddButtonUnit(down.timeUs, PointOf(down), CommandId::PressMouse, down.rightButton);
    return 1;
  }
  // The played clicks of a double click are 200 ms apart: only where the
  // system takes that for a double click too.
  std::uint32_t doubleClickMs = settings_.doubleClickTimeMs;
  if (!down.rightButton && IsClickAt(i + 2) && !transitions_[i + 2].rightButton &&
      PointOf(transitions_[i + 2]) == PointOf(down) &&
      transitions_[i + 2].timeUs - down.timeUs <= std::int64_t{doubleClickMs} * 1000 &&
      kPlayedDoubleClickUs <= std::int64_t{doubleClickMs} * 1000) {
    AddButtonUnit(transitions_[i + 2].timeUs, PointOf(down), CommandId::DoubleClickMouse, false);
    return 4;
  }
  AddButtonUnit(down.timeUs, PointOf(down), CommandId::ClickMouse, down.rightButton);
  return 2;
}

void UnitWriter::ButtonUp(std::size_t i) {
  const Transition& up = transitions_[i];
  AddButtonUnit(up.timeUs, PointOf(up), CommandId::ReleaseMouse, up.rightButton);
}

// Whether no other move comes before the next button event (or the end).
bool UnitWriter::EndsThePathBeforeAButton(std::size_t i) const {
  for (std::size_t j = i + 1; j < transitions_.size(); ++j) {
    if (transitions_[j].kind == TransitionKind::Move) return false;
    if (IsButton(transitions_[j])) return true;
  }
  return true;
}

void UnitWriter::PathPoint(std::size_t i) {
  const Transition& move = transitions_[i];
  if (cursor_ == PointOf(move)) return;
  if (move.timeUs - lastPathUs_ < kPathStepUs && !EndsThePathBeforeAButton(i)) return;
  lastPathUs_ = move.timeUs;
  cursor_ = PointOf(move);
  TimedUnit unit(move.timeUs);
  unit.Add(CommandId::MoveMouse, MoveLine(PointOf(move)));
  units_.push_back(std::move(unit));
}

std::size_t UnitWriter::KeyDown(std::size_t i) {
  const Transition& down = transitions_[i];
  bool tap = !down.repeat && i + 1 < transitions_.size() &&
             transitions_[i + 1].kind == TransitionKind::KeyUp &&
             transitions_[i + 1].key == down.key;
  AddKeyUnit(down.timeUs, tap ? CommandId::TapKey : CommandId::PressKey, down.key);
  return tap ? 2 : 1;
}

// Turns closer together than a wheel line's own cost, at one place, are one
// line; what they add up to beyond whole notches waits for the next turn.
// Returns how many transitions it wrote.
std::size_t UnitWriter::Wheel(std::size_t i) {
  const Transition& first = transitions_[i];
  const std::int64_t lineUs = CostOf(CommandId::ScrollWheel).leadUs;
  std::int64_t delta = wheelCarry_ + first.wheelDelta;
  std::size_t count = 1;
  for (; i + count < transitions_.size(); ++count) {
    const Transition& next = transitions_[i + count];
    if (next.kind != TransitionKind::Wheel || PointOf(next) != PointOf(first) ||
        next.timeUs - transitions_[i + count - 1].timeUs >= lineUs) {
      break;
    }
    delta += next.wheelDelta;
  }
  constexpr std::int64_t kMostNotches = kLargestNumber / kWheelDeltaPerNotch;
  std::int64_t notches = std::clamp(delta / kWheelDeltaPerNotch, -kMostNotches, kMostNotches);
  wheelCarry_ = static_cast<int>(delta - notches * kWheelDeltaPerNotch);
  if (notches == 0) return count;
  TimedUnit unit(first.timeUs);
  if (cursor_ != PointOf(first)) {
    unit.Add(CommandId::MoveMouse, MoveLine(PointOf(first)));
    cursor_ = PointOf(first);
  }
  unit.Add(CommandId::ScrollWheel, ComposeLine(CommandId::ScrollWheel, std::to_string(notches)));
  units_.push_back(std::move(unit));
  return count;
}

void UnitWriter::AddButtonUnit(std::int64_t recordedUs, Point point, CommandId command,
                               bool right) {
  TimedUnit unit(recordedUs);
  if (cursor_ != point) {
    unit.Add(CommandId::MoveMouse, MoveLine(point));
    cursor_ = point;
  }
  unit.Add(command, ComposeLine(command, right ? text::kRightButtonWord : text::kLeftButtonWord));
  units_.push_back(std::move(unit));
}

void UnitWriter::AddKeyUnit(std::int64_t recordedUs, CommandId command, std::uint8_t key) {
  TimedUnit unit(recordedUs);
  unit.Add(command, ComposeLine(command, *KeyArgument(key, settings_.keyCharacters)));
  units_.push_back(std::move(unit));
}

}  // namespace

ConvertedRecording ConvertRecording(const HookCapture& capture,
                                    const ConversionSettings& settings) {
  KeptTransitions kept = KeepTransitions(capture, settings);
  ConvertedRecording result;
  result.skippedKeys = kept.skippedKeys;
  result.lines = LinesWithWaits(UnitWriter(kept.transitions, settings).Write());
  return result;
}

}  // namespace kestro
