// What a line costs when it runs: the waits of a run and of each line. The
// runner waits by these, and the recorder writes its waits by them, so a
// recording replays at the offsets it was performed at.
#pragma once

#include <cstdint>

#include "script/script_language.h"

namespace kestro {

// Before the first pass of a run.
inline constexpr std::uint32_t kFirstPassDelayMs = 1000;
// Before every line.
inline constexpr std::uint32_t kLineDelayMs = 10;
// Before and after every mouse-button event.
inline constexpr std::uint32_t kButtonPauseMs = 100;
// A wait lasts this much longer than written.
inline constexpr std::uint32_t kWaitExtraMs = 1;
// Between two characters a "输入文字" line types: the pace of a line per key,
// which programs that take each character as a key press keep up with.
inline constexpr std::uint32_t kTypingPaceMs = 10;
// How often a "等待颜色" line looks at the screen, and how long it waits
// for its colour when the line names no time.
inline constexpr std::uint32_t kColourPollMs = 10;
inline constexpr std::uint32_t kColourWaitLimitMs = 10000;

struct LineCost {
  // From the line's start (its delay before it) to its last input event; a
  // line without input has all of its time here.
  std::int64_t leadUs = 0;
  // From that event to the line's end.
  std::int64_t tailUs = 0;
};

// A well-formed line of the command as the runner plays it. `amount` is
// what the line's time depends on: the milliseconds of a wait, the
// characters a text types. Time the user takes over a box and the time a
// colour takes to come are not counted.
LineCost CostOf(CommandId command, std::uint32_t amount = 0);

}  // namespace kestro
