// The options dialog (template 109) on Windows: a dialog procedure that
// hands its messages to the OptionsDialog logic.
#pragma once

#include <windows.h>

#include "hotkeys/options_dialog.h"

namespace kestro {

// Shows the options dialog modally over the owner and returns its result:
// kOptionsConfirmed (1) after OK, when the settings file holds all eight
// values; kOptionsCancelled (2) after Esc or the close box; -1 when the
// dialog could not be made.
int RunOptionsDialog(HINSTANCE instance, HWND owner, HotkeyChoiceTables& tables,
                     HotkeySettings& settings);

// Expects the OptionsDialog as the creation parameter (DialogBoxParam's
// lParam).
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace kestro
