#include "app/dialog_controls.h"

#include <commctrl.h>

#include "platform/win32/gbk_text_win32.h"

namespace kestro {

namespace {

std::wstring WideItemText(HWND dialog, int controlId) {
  HWND control = GetDlgItem(dialog, controlId);
  if (!control) return {};
  int length = static_cast<int>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int copied = static_cast<int>(
      SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

}  // namespace

std::string DialogItemText(HWND dialog, int controlId) {
  return GbkFromWide(WideItemText(dialog, controlId));
}

std::optional<std::string> ExactDialogItemText(HWND dialog, int controlId) {
  return ExactGbkFromWide(WideItemText(dialog, controlId));
}

void SetDialogItemText(HWND dialog, int controlId, std::string_view text) {
  SetDlgItemTextW(dialog, controlId, WideFromGbk(text).c_str());
}

std::string Win32Dialog::ControlText(int controlId) { return DialogItemText(dialog_, controlId); }

std::optional<std::string> Win32Dialog::ExactControlText(int controlId) {
  return ExactDialogItemText(dialog_, controlId);
}

void Win32Dialog::SetControlText(int controlId, std::string_view text) {
  SetDialogItemText(dialog_, controlId, text);
}

bool Win32Dialog::IsChecked(int controlId) {
  return IsDlgButtonChecked(dialog_, controlId) == BST_CHECKED;
}

void Win32Dialog::SetChecked(int controlId, bool checked) {
  CheckDlgButton(dialog_, controlId, checked ? BST_CHECKED : BST_UNCHECKED);
}

void Win32Dialog::ComboAdd(int controlId, std::string_view text) {
  std::wstring wide = WideFromGbk(text);
  SendDlgItemMessageW(dialog_, controlId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Win32Dialog::ComboSelect(int controlId, int index) {
  SendDlgItemMessageW(dialog_, controlId, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int Win32Dialog::ComboSelection(int controlId) {
  return static_cast<int>(SendDlgItemMessageW(dialog_, controlId, CB_GETCURSEL, 0, 0));
}

}  // namespace kestro
