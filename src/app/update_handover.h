// The hand-over between an updated copy of the program and the copy it
// replaces, as the new copy starts.
#pragma once

#include <windows.h>

#include "platform/processes.h"

namespace kestro {

// A copy started by an update waits here, before its single-instance test,
// until the copy it replaces has ended (at most ten seconds).
void WaitForReplacedCopy(PCWSTR commandLine, Processes& processes);

}  // namespace kestro
