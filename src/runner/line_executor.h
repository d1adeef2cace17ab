// Plays one script line as synthesised input: mouse buttons with their fixed
// 100 ms pauses, cursor moves, key events, waits, and the error boxes of
// malformed lines.
#pragma once

#include <functional>
#include <string_view>

#include "platform/input.h"
#include "platform/main_window.h"
#include "runner/pacer.h"

namespace kestro {

enum class MouseButton { Left = 0, Right = 1 };

// How a line leaves the run: on with the next line, or ended by a stop
// request or a colour that did not come in time (both during a colour
// wait).
enum class LineOutcome { Next, Stopped, ColourTimedOut };

// Parses the line and issues its input; returns when every event, wait and
// message box of the line is done. Unknown command words are skipped. The
// waits run on the pacer, which a message box resynchronises. A colour wait
// asks `stopRequested` while it looks.
LineOutcome ExecuteLine(std::string_view line, Input& input, MainWindow& window, Pacer& pacer,
                        const std::function<bool()>& stopRequested = {});
// One line on a pacer of its own.
LineOutcome ExecuteLine(std::string_view line, Input& input, Clock& clock, MainWindow& window);

// For each time: wait 100 ms, one press-and-release event, wait 100 ms.
void ClickButton(MouseButton button, int times, Input& input, Pacer& pacer);

}  // namespace kestro
