#include "testing/fake_main_window.h"

#include <stdexcept>

#include "resource_ids.h"

namespace kestro {

std::string FakeMainWindow::ControlText(int controlId) { return texts[controlId]; }

std::optional<std::string> FakeMainWindow::ExactControlText(int controlId) {
  if (notGbk.count(controlId)) return std::nullopt;
  return texts[controlId];
}

void FakeMainWindow::SetControlText(int controlId, std::string_view text) {
  texts[controlId] = std::string(text);
}

bool FakeMainWindow::IsChecked(int controlId) { return checks[controlId]; }

void FakeMainWindow::SetChecked(int controlId, bool checked) { checks[controlId] = checked; }

void FakeMainWindow::ComboAdd(int controlId, std::string_view text) {
  combos[controlId].entries.emplace_back(text);
}

void FakeMainWindow::ComboSelect(int controlId, int index) {
  ComboState& combo = combos[controlId];
  if (index < 0 || index >= static_cast<int>(combo.entries.size())) {
    combo.selection = -1;
    return;
  }
  combo.selection = index;
  texts[controlId] = combo.entries[static_cast<std::size_t>(index)];
}

int FakeMainWindow::ComboSelection(int controlId) { return combos[controlId].selection; }

int FakeMainWindow::ListCount() { return static_cast<int>(lines.size()); }

ScriptSnapshot FakeMainWindow::CopyScript() {
  return {texts[IDC_REPEAT_COUNT], checks[IDC_LOOP], lines};
}

// The fakes throw on indexes a real list box would refuse, so a test sees
// the fault instead of a silent no-op.
int FakeMainWindow::ListSelection() { return selection; }

void FakeMainWindow::ListInsert(int index, std::string_view line) {
  if (index < 0 || index > ListCount()) throw std::out_of_range("ListInsert");
  lines.insert(lines.begin() + index, std::string(line));
}

void FakeMainWindow::ListInsert(int index, const std::vector<std::string>& added) {
  if (index < 0 || index > ListCount()) throw std::out_of_range("ListInsert");
  lines.insert(lines.begin() + index, added.begin(), added.end());
}

void FakeMainWindow::ListSelect(int index) {
  if (index < -1 || index >= ListCount()) throw std::out_of_range("ListSelect");
  selection = index;
}

void FakeMainWindow::ListDelete(int index) {
  if (index < 0 || index >= ListCount()) throw std::out_of_range("ListDelete");
  lines.erase(lines.begin() + index);
  // As a list box does: deleting the selected line leaves none selected,
  // deleting one above it moves the selection up with its line.
  if (index == selection) selection = -1;
  if (index < selection) --selection;
}

void FakeMainWindow::ListClear() {
  lines.clear();
  selection = -1;
}

int FakeMainWindow::ShowMessage(BoxOwner owner, std::string_view text, std::string_view caption,
                                unsigned style) {
  messages.push_back({owner, std::string(text), std::string(caption), style});
  if (onMessage) onMessage();
  return messageAnswer;
}

void FakeMainWindow::SetStatusText(int part, std::string_view text) {
  status[part] = std::string(text);
  statusLog.push_back(std::to_string(part) + ":" + std::string(text));
  if (onStatus) onStatus();
}

}  // namespace kestro
