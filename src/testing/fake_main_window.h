// An in-memory main window for tests: control texts, check boxes, combo
// boxes, the script list with its selection, and logs of every message box
// and status text.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/main_window.h"

namespace kestro {

struct ShownMessage {
  BoxOwner owner;
  std::string text;
  std::string caption;
  unsigned style;

  bool operator==(const ShownMessage&) const = default;
};

struct ComboState {
  std::vector<std::string> entries;
  int selection = -1;
};

class FakeMainWindow : public MainWindow {
 public:
  std::string ControlText(int controlId) override;
  std::optional<std::string> ExactControlText(int controlId) override;
  void SetControlText(int controlId, std::string_view text) override;
  bool IsChecked(int controlId) override;
  void SetChecked(int controlId, bool checked) override;
  void ComboAdd(int controlId, std::string_view text) override;
  void ComboSelect(int controlId, int index) override;
  int ComboSelection(int controlId) override;

  ScriptSnapshot CopyScript() override;
  int ListCount() override;
  int ListSelection() override;
  void ListInsert(int index, std::string_view line) override;
  void ListInsert(int index, const std::vector<std::string>& added) override;
  void ListSelect(int index) override;
  void ListDelete(int index) override;
  void ListClear() override;

  int ShowMessage(BoxOwner owner, std::string_view text, std::string_view caption,
                  unsigned style) override;
  void SetStatusText(int part, std::string_view text) override;
  void Close() override { ++closeRequests; }

  // A combo box's text is its edit field: a selection copies the entry in,
  // as a Win32 combo box does, and SetControlText types over it.
  std::map<int, std::string> texts;
  // Controls whose text holds a character GBK has not (as typed in UTF-16).
  std::set<int> notGbk;
  std::map<int, bool> checks;
  std::map<int, ComboState> combos;
  std::vector<std::string> lines;
  int selection = -1;

  std::vector<ShownMessage> messages;
  int messageAnswer = 1;  // IDOK
  // Called while a box is shown, e.g. to let the user take time over it.
  std::function<void()> onMessage;
  std::string status[2];
  // Every status change as "0:text" or "1:text", in order.
  std::vector<std::string> statusLog;
  // Called on every status change, e.g. to let it take time.
  std::function<void()> onStatus;
  int closeRequests = 0;
};

}  // namespace kestro
