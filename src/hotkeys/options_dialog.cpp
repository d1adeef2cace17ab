#include "hotkeys/options_dialog.h"

#include "resource_ids.h"
#include "text/system_texts.h"

namespace kestro {
namespace {

// The slots' values in HotkeyValues order.
constexpr int HotkeyValues::*kSlotValues[kHotkeySlotCount] = {
    &HotkeyValues::runModifiers,    &HotkeyValues::runKey,           &HotkeyValues::stopModifiers,
    &HotkeyValues::stopKey,         &HotkeyValues::captureModifiers, &HotkeyValues::captureKey,
    &HotkeyValues::recordModifiers, &HotkeyValues::recordKey,
};

bool IsSlot(int slot) { return slot >= 1 && slot <= kHotkeySlotCount; }

int ComboOfSlot(int slot) { return IDC_RUN_MODIFIERS + slot - 1; }

// The dialog's OK button (the dialog manager sends it for Enter too) and
// what Esc and the close box send.
constexpr int kCommandOk = 1;
constexpr int kCommandCancel = 2;

}  // namespace

HotkeyChoiceTables::HotkeyChoiceTables() {
  // Ctrl comes second in the list but is flag 2, Alt third but flag 1.
  modifierChoices_ = {
      {1, 0, std::string(text::kNoChoice)}, {2, kModControl, "CTRL"}, {3, kModAlt, "ALT"}};
  auto addKey = [this](int value, std::string name) {
    keyChoices_.push_back({static_cast<int>(keyChoices_.size()) + 1, value, std::move(name)});
  };
  addKey(kNoHotkeyKey, std::string(text::kNoChoice));
  // Digits and letters are their own character codes, F1 to F12 the
  // platform's function-key codes 112 to 123.
  for (char digit = '0'; digit <= '9'; ++digit) addKey(digit, std::string(1, digit));
  for (char letter = 'A'; letter <= 'Z'; ++letter) addKey(letter, std::string(1, letter));
  for (int n = 1; n <= 12; ++n) addKey(111 + n, "F" + std::to_string(n));
}

const std::vector<HotkeyChoice>& HotkeyChoiceTables::ChoicesOf(int slot) const {
  return slot % 2 ? modifierChoices_ : keyChoices_;
}

void HotkeyChoiceTables::FillCombo(int slot, Dialog& dialog, int comboId) const {
  if (!IsSlot(slot)) return;
  const std::vector<HotkeyChoice>& choices = ChoicesOf(slot);
  for (const HotkeyChoice& choice : choices) dialog.ComboAdd(comboId, choice.name);
  int value = current_.*kSlotValues[slot - 1];
  for (const HotkeyChoice& choice : choices) {
    if (choice.value == value) dialog.ComboSelect(comboId, choice.index - 1);
  }
}

void HotkeyChoiceTables::ReadCombo(int slot, Dialog& dialog, int comboId) {
  if (!IsSlot(slot)) return;
  int selection = dialog.ComboSelection(comboId);
  for (const HotkeyChoice& choice : ChoicesOf(slot)) {
    if (choice.index - 1 == selection) current_.*kSlotValues[slot - 1] = choice.value;
  }
}

void OptionsDialog::OnInit(Dialog& dialog) {
  settings_.Load();
  tables_.CopyFrom(settings_);
  for (int slot = 1; slot <= kHotkeySlotCount; ++slot) {
    tables_.FillCombo(slot, dialog, ComboOfSlot(slot));
  }
}

std::optional<int> OptionsDialog::OnCommand(int commandId, Dialog& dialog) {
  if (commandId == kCommandCancel) return kOptionsCancelled;
  if (commandId != kCommandOk) return std::nullopt;
  for (int slot = 1; slot <= kHotkeySlotCount; ++slot) {
    tables_.ReadCombo(slot, dialog, ComboOfSlot(slot));
  }
  tables_.SaveChoices(settings_);
  return kOptionsConfirmed;
}

}  // namespace kestro
