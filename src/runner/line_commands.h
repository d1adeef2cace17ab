// The lines whose playing has a file of its own; ExecuteLine calls them.
#pragma once

#include <functional>

#include "platform/input.h"
#include "platform/main_window.h"
#include "runner/line_executor.h"
#include "runner/pacer.h"
#include "script/script_language.h"

namespace kestro {

// "输入文字:text;" (text_typing.cpp): each character as the press and release
// of its UTF-16 units, kTypingPaceMs apart.
void ExecuteTypeText(const ScriptLineParts& parts, Input& input, MainWindow& window, Pacer& pacer);

// "等待颜色:x,y,BBGGRR[,t];" (colour_wait.cpp): looks at the pixel every
// kColourPollMs until it has the colour, the time limit has passed, or a
// stop was requested.
LineOutcome ExecuteColourWait(const ScriptLineParts& parts, Input& input, MainWindow& window,
                              Pacer& pacer, const std::function<bool()>& stopRequested);

}  // namespace kestro
