// The MainWindow seam on the real main dialog: its controls, the script
// list, message boxes owned by it, and its status bar. The runner thread
// calls it too; every operation is a synchronous message that the
// user-interface thread serves.
#pragma once

#include <windows.h>

#include "app/dialog_controls.h"
#include "platform/main_window.h"

namespace kestro {

class Win32MainWindow : public MainWindow {
 public:
  Win32MainWindow(HWND dialog, HWND statusBar) : controls_(dialog), statusBar_(statusBar) {}

  std::string ControlText(int controlId) override { return controls_.ControlText(controlId); }
  std::optional<std::string> ExactControlText(int controlId) override {
    return controls_.ExactControlText(controlId);
  }
  void SetControlText(int controlId, std::string_view text) override {
    controls_.SetControlText(controlId, text);
  }
  bool IsChecked(int controlId) override { return controls_.IsChecked(controlId); }
  void SetChecked(int controlId, bool checked) override {
    controls_.SetChecked(controlId, checked);
  }
  void ComboAdd(int controlId, std::string_view text) override {
    controls_.ComboAdd(controlId, text);
  }
  void ComboSelect(int controlId, int index) override { controls_.ComboSelect(controlId, index); }
  int ComboSelection(int controlId) override { return controls_.ComboSelection(controlId); }

  // The repeat setting and every line of the list, each line whole. On the
  // dialog's own thread only, where no edit can come between two lines.
  ScriptSnapshot CopyScript() override;
  int ListCount() override;
  int ListSelection() override;
  void ListInsert(int index, std::string_view line) override;
  // Without redrawing until the last line is in, with the list's storage
  // reserved first: a file of 100,000 lines loads at once, and a long
  // recording goes in without holding up the window.
  void ListInsert(int index, const std::vector<std::string>& lines) override;
  void ListSelect(int index) override;
  void ListDelete(int index) override;
  void ListClear() override;

  int ShowMessage(BoxOwner owner, std::string_view text, std::string_view caption,
                  unsigned style) override;
  void SetStatusText(int part, std::string_view text) override;
  void Close() override;

  HWND hwnd() const { return controls_.hwnd(); }

 private:
  LRESULT SendToList(UINT message, WPARAM wParam, LPARAM lParam);

  Win32Dialog controls_;
  HWND statusBar_;
};

}  // namespace kestro
