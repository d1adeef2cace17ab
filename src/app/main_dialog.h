// The main window: a modal dialog holding the script editor, the script
// list and the repeat settings; its procedure hands each command to the
// part of the program that carries it out.
#pragma once

#include <windows.h>

namespace kestro {

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace kestro
