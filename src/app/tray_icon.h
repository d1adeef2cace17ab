// The notification-area icon: the program's icon with a tip naming the
// default hotkeys. It reports mouse messages as WM_COMMAND 107, and the
// main window comes back on a left-button release.
#pragma once

#include <windows.h>

#include <string_view>

namespace kestro {

void AddTrayIcon(HWND mainWindow);
void RemoveTrayIcon();
// While a script from the command line plays, the tip names its file (GBK);
// afterwards it is the tip of the default keys again.
void ShowPlayingInTrayTip(std::string_view fileName);
void RestoreTrayTip();

}  // namespace kestro
