// What the conversion of a recording into script lines needs to know of the
// program and the system besides the events themselves: plain values, so
// the conversion depends on nothing else.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kestro {

// One of the program's hotkeys: modifier flags (1 Alt, 2 Ctrl, 4 Shift,
// 8 Win) and virtual key. Their presses are never recorded.
struct HotkeyCombination {
  int modifiers = 0;
  int key = 0;
};

// For each virtual key, the character it types without Shift on the active
// keyboard layout, where that character maps back to the same key; 0 where
// there is none.
using KeyCharacters = std::array<char, 256>;

struct ConversionSettings {
  std::vector<HotkeyCombination> hotkeys;
  KeyCharacters keyCharacters{};
  // The system's double-click time: two clicks within it are one double
  // click to the program that gets them.
  std::uint32_t doubleClickTimeMs = 500;
};

}  // namespace kestro
