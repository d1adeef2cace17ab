// The first step of turning a recording into lines: which of the hooks'
// events the recording keeps. Not kept: presses aimed at the program's own
// windows, presses of its hotkeys and of the modifiers that only served them
// (or were still held, for nothing, when the recording ended), releases of
// keys held before the recording began, and keys the language cannot
// express (counted). Recording and running exclude each other, so no input
// of the program's own is there to leave out.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/input_hooks.h"
#include "recorder/conversion_settings.h"

namespace kestro {

enum class TransitionKind : std::uint8_t { ButtonDown, ButtonUp, Move, KeyDown, KeyUp, Wheel };

struct Transition {
  TransitionKind kind = TransitionKind::Move;
  bool rightButton = false;  // buttons: left or right
  std::uint8_t key = 0;      // keys, as GenericKey gives them
  bool repeat = false;       // a key down while the key is held already
  int x = 0;                 // buttons, moves and the wheel
  int y = 0;
  int wheelDelta = 0;  // the wheel, in 120ths of a notch
  // From the first event of the recording; never less than the time of the
  // transition before.
  std::int64_t timeUs = 0;
};

struct KeptTransitions {
  // Button, key and wheel transitions in order, and the cursor's moves while
  // a kept button is held (the path of a drag); other moves are left out.
  // Every kept press has its release: what was still held when the
  // recording ended is released at its end.
  std::vector<Transition> transitions;
  // Presses of keys and buttons the language cannot express.
  int skippedKeys = 0;
};

KeptTransitions KeepTransitions(const HookCapture& capture, const ConversionSettings& settings);

}  // namespace kestro
