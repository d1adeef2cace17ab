// One copy of the program per executable file name.
#pragma once

#include <windows.h>

namespace kestro {

// Takes the named mutex of the executable's file name, held for the life of
// the process; false when another copy of that name holds it already. A
// second copy then ends at once: no window, no message, and the running
// copy is left as it is (its icon comes back by itself after the shell
// restarts, so it is never stranded).
bool IsFirstInstance();

// The main window of the copy that runs already: a main window of our
// caption whose process runs a program of our file name, as the name
// counts copies; nullptr when none is shown yet.
HWND FindRunningCopy();

}  // namespace kestro
