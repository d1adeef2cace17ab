// Plays one script line as synthesised input: mouse buttons with their fixed
// 100 ms pauses, cursor moves, key events, waits, and the error boxes of
// malformed lines.
#pragma once

#include <string_view>

#include "platform/input.h"
#include "platform/main_window.h"
#include "runner/pacer.h"

namespace kestro {

enum class MouseButton { Left = 0, Right = 1 };

// Parses the line and issues its input; returns when every event, wait and
// message box of the line is done. Unknown command words are skipped. The
// waits run on the pacer, which a message box resynchronises.
void ExecuteLine(std::string_view line, Input& input, MainWindow& window, Pacer& pacer);
// One line on a pacer of its own.
void ExecuteLine(std::string_view line, Input& input, Clock& clock, MainWindow& window);

// For each time: wait 100 ms, one press-and-release event, wait 100 ms.
void ClickButton(MouseButton button, int times, Input& input, Pacer& pacer);

}  // namespace kestro
