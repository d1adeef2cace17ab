// The Dialog seam on a real Win32 dialog: controls by id, text converted
// between GBK and UTF-16 at the boundary. Safe to call from another thread:
// every operation is a synchronous message the dialog's thread serves.
#pragma once

#include <windows.h>

#include "platform/main_window.h"

namespace kestro {

// Operations on one dialog's controls, shared by every dialog class.
std::string DialogItemText(HWND dialog, int controlId);
std::optional<std::string> ExactDialogItemText(HWND dialog, int controlId);
void SetDialogItemText(HWND dialog, int controlId, std::string_view text);

class Win32Dialog : public Dialog {
 public:
  explicit Win32Dialog(HWND dialog) : dialog_(dialog) {}

  std::string ControlText(int controlId) override;
  std::optional<std::string> ExactControlText(int controlId) override;
  void SetControlText(int controlId, std::string_view text) override;
  bool IsChecked(int controlId) override;
  void SetChecked(int controlId, bool checked) override;
  void ComboAdd(int controlId, std::string_view text) override;
  void ComboSelect(int controlId, int index) override;
  int ComboSelection(int controlId) override;

  HWND hwnd() const { return dialog_; }

 private:
  HWND dialog_;
};

}  // namespace kestro
