// A recording as script lines: the hooks' events in, lines out, with no
// other dependency, so the conversion is tested in virtual time and fuzzed
// on its own.
//
// Buttons: a press and release of one button at one place within 150 ms is
// one "单击鼠标" line; two such left clicks within the double-click time one
// "双击鼠标:左键;" line; other presses and releases are lines of their own.
// A "移动鼠标" line comes before a button line wherever the cursor has moved
// since the last position written; while a button is held, the cursor's
// path is written too, one point per 20 ms and the last point before the
// next button event, so drags replay as drags.
// Keys: named keys by name, others by the character they type without
// Shift; left and right Shift, Ctrl and Alt as the generic key; a press and
// release with nothing between as one "单击键盘" line; repeats of a held key
// as presses.
// Timing: waits such that every event plays at its recorded offset from the
// one before, where the language's own costs allow (see replay_timing.h).
// A merged click or tap plays at its press, a double click at its second
// press.
#pragma once

#include <string>
#include <vector>

#include "platform/input_hooks.h"
#include "recorder/conversion_settings.h"

namespace kestro {

struct ConvertedRecording {
  std::vector<std::string> lines;  // GBK script lines, in order
  int skippedKeys = 0;             // presses the language cannot express
};

ConvertedRecording ConvertRecording(const HookCapture& capture, const ConversionSettings& settings);

}  // namespace kestro
