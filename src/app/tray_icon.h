// The notification-area icon: the program's icon with a tip naming the
// default hotkeys. It reports mouse messages as WM_COMMAND 107, and the
// main window comes back on a left-button release.
#pragma once

#include <windows.h>

namespace kestro {

void AddTrayIcon(HWND mainWindow);
void RemoveTrayIcon();

}  // namespace kestro
