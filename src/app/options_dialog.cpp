#include "app/options_dialog.h"

#include "app/dialog_controls.h"
#include "resource_ids.h"

namespace kestro {

int RunOptionsDialog(HINSTANCE instance, HWND owner, HotkeyChoiceTables& tables,
                     HotkeySettings& settings) {
  OptionsDialog logic(tables, settings);
  return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_OPTIONS), owner,
                                          OptionsDialogProc, reinterpret_cast<LPARAM>(&logic)));
}

// Returns FALSE for every message, handled or not. For WM_INITDIALOG that
// means no control gets the focus; Enter then still arrives as command 1.
INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
    Win32Dialog controls(dialog);
    reinterpret_cast<OptionsDialog*>(lParam)->OnInit(controls);
    return FALSE;
  }
  if (message != WM_COMMAND) return FALSE;
  auto* logic = reinterpret_cast<OptionsDialog*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
  if (!logic) return FALSE;
  Win32Dialog controls(dialog);
  if (std::optional<int> result = logic->OnCommand(LOWORD(wParam), controls)) {
    EndDialog(dialog, *result);
  }
  return FALSE;
}

}  // namespace kestro
