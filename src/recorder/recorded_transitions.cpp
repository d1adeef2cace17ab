#include "recorder/recorded_transitions.h"

#include <algorithm>
#include <array>
#include <optional>

#include "recorder/key_arguments.h"

namespace kestro {
namespace {

enum class Held : std::uint8_t { No, Kept, Dropped };

// Times count from the first event and never run backwards; a recording of
// centuries would need more wait lines than anyone reads.
constexpr std::int64_t kLongestRecordingUs = std::int64_t{1} << 50;  // 35 years

constexpr std::uint8_t kModifierKeys[] = {16, 17, 18, 91, 92};

class TransitionFilter {
 public:
  TransitionFilter(const HookCapture& capture, const ConversionSettings& settings)
      : settings_(settings) {
    // Keys held when the recording began, the hotkey that began it for one:
    // they still count as modifiers, their releases are not recorded.
    for (std::uint8_t key : capture.keysDownAtStart) keys_[GenericKey(key)] = Held::Dropped;
  }

  void Take(const HookEvent& event);
  KeptTransitions Finish();

 private:
  void ButtonDown(bool right, const HookEvent& event);
  void ButtonUp(bool right, const HookEvent& event);
  void Move(const HookEvent& event);
  void KeyDown(std::uint8_t key, const HookEvent& event);
  void KeyUp(std::uint8_t key, const HookEvent& event);
  void Wheel(const HookEvent& event);

  bool IsHotkeyPress(std::uint8_t key) const;
  void MarkHeldModifiersUsed();
  void DropModifiersOnlyHeldForAHotkey();
  std::size_t Push(TransitionKind kind, const HookEvent& event);
  std::size_t PushAtEnd(TransitionKind kind);
  std::int64_t OffsetOf(std::int64_t timeUs);

  const ConversionSettings& settings_;
  std::array<Held, 256> keys_{};
  std::array<Held, 2> buttons_{};  // left, right
  // Per modifier: whether another key or a button went down while it was
  // held, and where its kept downs are, should a hotkey claim it after all.
  std::array<bool, 256> usedWithOthers_{};
  std::array<std::vector<std::size_t>, 256> modifierDowns_;
  std::optional<std::pair<int, int>> lastPoint_;
  std::optional<std::int64_t> firstTimeUs_;
  std::int64_t lastOffsetUs_ = 0;
  std::vector<Transition> kept_;
  std::vector<bool> withdrawn_;
  int skippedKeys_ = 0;
};

void TransitionFilter::Take(const HookEvent& event) {
  if (!firstTimeUs_) firstTimeUs_ = event.timeUs;
  switch (event.kind) {
    case HookEventKind::Move:
      return Move(event);
    case HookEventKind::LeftDown:
      return ButtonDown(false, event);
    case HookEventKind::LeftUp:
      return ButtonUp(false, event);
    case HookEventKind::RightDown:
      return ButtonDown(true, event);
    case HookEventKind::RightUp:
      return ButtonUp(true, event);
    case HookEventKind::OtherButtonDown:
      if (!event.toOwnWindow) ++skippedKeys_;
      return;
    case HookEventKind::OtherButtonUp:
      return;
    case HookEventKind::KeyDown:
      return KeyDown(GenericKey(event.virtualKey), event);
    case HookEventKind::KeyUp:
      return KeyUp(GenericKey(event.virtualKey), event);
    case HookEventKind::Wheel:
      return Wheel(event);
  }
}

std::int64_t TransitionFilter::OffsetOf(std::int64_t timeUs) {
  if (timeUs > *firstTimeUs_) {
    // Unsigned, as the distance between two 64-bit times may not fit.
    std::uint64_t offset =
        static_cast<std::uint64_t>(timeUs) - static_cast<std::uint64_t>(*firstTimeUs_);
    std::int64_t capped = static_cast<std::int64_t>(
        std::min<std::uint64_t>(offset, static_cast<std::uint64_t>(kLongestRecordingUs)));
    lastOffsetUs_ = std::max(lastOffsetUs_, capped);
  }
  return lastOffsetUs_;
}

// A move line takes numbers up to 2147483647 either side of 0; no screen
// comes near that, but the conversion makes only lines that play.
int Coordinate(int value) { return std::max(value, -2147483647); }

std::size_t TransitionFilter::Push(TransitionKind kind, const HookEvent& event) {
  Transition transition;
  transition.kind = kind;
  transition.x = Coordinate(event.x);
  transition.y = Coordinate(event.y);
  transition.timeUs = OffsetOf(event.timeUs);
  kept_.push_back(transition);
  withdrawn_.push_back(false);
  return kept_.size() - 1;
}

// A release that the recording never saw, at the last point and time it did.
std::size_t TransitionFilter::PushAtEnd(TransitionKind kind) {
  Transition transition;
  transition.kind = kind;
  if (lastPoint_) {
    transition.x = Coordinate(lastPoint_->first);
    transition.y = Coordinate(lastPoint_->second);
  }
  transition.timeUs = lastOffsetUs_;
  kept_.push_back(transition);
  withdrawn_.push_back(false);
  return kept_.size() - 1;
}

// Only a drag's path is kept: moves with no button held are not written,
// the cursor goes straight to the next button's place.
void TransitionFilter::Move(const HookEvent& event) {
  std::pair point{event.x, event.y};
  if (lastPoint_ == point) return;
  lastPoint_ = point;
  if (buttons_[0] != Held::Kept && buttons_[1] != Held::Kept) return;
  Push(TransitionKind::Move, event);
}

void TransitionFilter::ButtonDown(bool right, const HookEvent& event) {
  lastPoint_ = std::pair{event.x, event.y};
  Held& held = buttons_[right];
  if (held == Held::Kept) return;  // a second down without an up between
  if (event.toOwnWindow) {
    // The program's own menu or buttons, such as "停止录制": its click, its
    // drag and its release are left out.
    held = Held::Dropped;
    return;
  }
  held = Held::Kept;
  MarkHeldModifiersUsed();
  kept_[Push(TransitionKind::ButtonDown, event)].rightButton = right;
}

void TransitionFilter::ButtonUp(bool right, const HookEvent& event) {
  lastPoint_ = std::pair{event.x, event.y};
  Held& held = buttons_[right];
  if (held == Held::Kept) kept_[Push(TransitionKind::ButtonUp, event)].rightButton = right;
  held = Held::No;
}

// The wheel over the program's own windows scrolls its list: left out.
// Ctrl held while the wheel turns (a zoom) is used, as with a key.
void TransitionFilter::Wheel(const HookEvent& event) {
  lastPoint_ = std::pair{event.x, event.y};
  if (event.toOwnWindow || event.wheelDelta == 0) return;
  MarkHeldModifiersUsed();
  kept_[Push(TransitionKind::Wheel, event)].wheelDelta = event.wheelDelta;
}

void TransitionFilter::KeyDown(std::uint8_t key, const HookEvent& event) {
  Held& held = keys_[key];
  if (held == Held::Dropped) return;  // a repeat of a press left out
  if (held == Held::No) {
    if (event.toOwnWindow) {
      held = Held::Dropped;
      return;
    }
    bool modifier = ModifierFlagOf(key) != 0;
    if (!modifier && IsHotkeyPress(key)) {
      held = Held::Dropped;
      DropModifiersOnlyHeldForAHotkey();
      return;
    }
    if (!KeyArgument(key, settings_.keyCharacters)) {
      held = Held::Dropped;
      ++skippedKeys_;
      return;
    }
    if (!modifier) MarkHeldModifiersUsed();
    usedWithOthers_[key] = false;
    modifierDowns_[key].clear();
  }
  std::size_t index = Push(TransitionKind::KeyDown, event);
  kept_[index].key = key;
  kept_[index].repeat = held == Held::Kept;
  if (ModifierFlagOf(key) != 0) modifierDowns_[key].push_back(index);
  held = Held::Kept;
}

void TransitionFilter::KeyUp(std::uint8_t key, const HookEvent& event) {
  Held& held = keys_[key];
  if (held == Held::Kept) kept_[Push(TransitionKind::KeyUp, event)].key = key;
  held = Held::No;
}

// As the system matches a hotkey: the key goes down while exactly the
// hotkey's modifiers are held.
bool TransitionFilter::IsHotkeyPress(std::uint8_t key) const {
  int modifiers = 0;
  for (std::uint8_t modifier : kModifierKeys) {
    if (keys_[modifier] != Held::No) modifiers |= ModifierFlagOf(modifier);
  }
  for (const HotkeyCombination& hotkey : settings_.hotkeys) {
    if (hotkey.key == key && hotkey.modifiers == modifiers) return true;
  }
  return false;
}

void TransitionFilter::MarkHeldModifiersUsed() {
  for (std::uint8_t modifier : kModifierKeys) {
    if (keys_[modifier] != Held::No) usedWithOthers_[modifier] = true;
  }
}

// A modifier pressed for a hotkey and nothing else belongs to the hotkey:
// its press is taken back and its release left out. One that served other
// keys too (Ctrl+C, then the hotkey) stays, with its release.
void TransitionFilter::DropModifiersOnlyHeldForAHotkey() {
  for (std::uint8_t modifier : kModifierKeys) {
    if (keys_[modifier] != Held::Kept || usedWithOthers_[modifier]) continue;
    for (std::size_t index : modifierDowns_[modifier]) withdrawn_[index] = true;
    keys_[modifier] = Held::Dropped;
  }
}

KeptTransitions TransitionFilter::Finish() {
  // Still held at the end and used for nothing: pressed for whatever ended
  // the recording, such as the stop hotkey when its own key went by unseen.
  DropModifiersOnlyHeldForAHotkey();
  // Whatever else is still held (a drag under way, Ctrl through Ctrl+C and
  // the record hotkey, a key held while "停止录制" was clicked) is let go at
  // the end, or every run would leave it down.
  for (bool right : {false, true}) {
    if (buttons_[right] != Held::Kept) continue;
    std::size_t index = PushAtEnd(TransitionKind::ButtonUp);
    kept_[index].rightButton = right;
  }
  for (int key = 255; key > 0; --key) {
    if (keys_[key] != Held::Kept) continue;
    kept_[PushAtEnd(TransitionKind::KeyUp)].key = static_cast<std::uint8_t>(key);
  }
  KeptTransitions result;
  result.skippedKeys = skippedKeys_;
  for (std::size_t i = 0; i < kept_.size(); ++i) {
    if (!withdrawn_[i]) result.transitions.push_back(kept_[i]);
  }
  return result;
}

}  // namespace

KeptTransitions KeepTransitions(const HookCapture& capture, const ConversionSettings& settings) {
  TransitionFilter filter(capture, settings);
  for (const HookEvent& event : capture.events) filter.Take(event);
  return filter.Finish();
}

}  // namespace kestro
