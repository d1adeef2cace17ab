// One copy of the program per executable file name.
#pragma once

namespace kestro {

// Takes the named mutex of the executable's file name, held for the life of
// the process; false when another copy of that name holds it already.
bool IsFirstInstance();

// Brings back the main window of the copy that runs already when it is
// hidden (minimised into the notification area), so a user whose icon was
// lost is never stranded. A visible window is left as it is.
void RestoreFirstInstance();

}  // namespace kestro
