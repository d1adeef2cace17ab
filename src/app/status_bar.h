// The two-part status bar along the bottom of the main window: part 0 says
// what the program does, part 1 counts the runner's passes.
#pragma once

#include <windows.h>

#include <string_view>

namespace kestro {

// Creates the bar (parts ending at 120 px and at the right edge) showing
// the welcome text in part 0.
HWND CreateStatusBar(HWND mainWindow);
// Callable from any thread: a synchronous message the bar's thread serves.
void SetStatusBarText(HWND statusBar, int part, std::string_view text);

}  // namespace kestro
