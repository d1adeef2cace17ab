// The options dialog's logic: the fixed lists of hotkey choices, the eight
// values being edited, and the dialog's two handlers. The dialog shows what
// the settings file holds and on OK writes all eight values back; the main
// window then registers the hotkeys again from the file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "hotkeys/hotkey_settings.h"
#include "platform/main_window.h"

namespace kestro {

struct HotkeyChoice {
  int index;         // 1-based; the entry's position in its combo box is index - 1
  int value;         // modifier flags or virtual-key code
  std::string name;  // GBK, as the combo box shows it

  bool operator==(const HotkeyChoice&) const = default;
};

enum OptionsDialogResult : int { kOptionsConfirmed = 1, kOptionsCancelled = 2 };

// The dialog's eight slots are numbered 1 to 8 in HotkeyValues order: odd
// slots take a modifier, even ones a key; their combo boxes are 1036 to 1043,
// a row of two per hotkey.
constexpr int kHotkeySlotCount = 8;

class HotkeyChoiceTables {
 public:
  HotkeyChoiceTables();

  const std::vector<HotkeyChoice>& modifierChoices() const { return modifierChoices_; }
  const std::vector<HotkeyChoice>& keyChoices() const { return keyChoices_; }
  const HotkeyValues& currentValues() const { return current_; }

  void CopyFrom(const HotkeySettings& settings) { current_ = settings.values(); }
  // Appends the slot's choices to the combo box in list order and selects
  // the one holding the slot's value; with none, the box shows empty text.
  // A slot outside 1 to 8 does nothing.
  void FillCombo(int slot, Dialog& dialog, int comboId) const;
  // Takes the selected entry's value into the slot. Without a selection the
  // value stays as loaded, also one that is none of the choices; text typed
  // into the box is never read.
  void ReadCombo(int slot, Dialog& dialog, int comboId);
  void SaveChoices(HotkeySettings& settings) const { settings.Save(current_); }

 private:
  const std::vector<HotkeyChoice>& ChoicesOf(int slot) const;

  std::vector<HotkeyChoice> modifierChoices_;
  std::vector<HotkeyChoice> keyChoices_;
  HotkeyValues current_;
};

// The handlers of the options dialog, which a platform dialog procedure
// calls.
class OptionsDialog {
 public:
  OptionsDialog(HotkeyChoiceTables& tables, HotkeySettings& settings)
      : tables_(tables), settings_(settings) {}

  // The dialog opens: the settings file is read again, so it always shows
  // what the file holds, and the eight combo boxes are filled.
  void OnInit(Dialog& dialog);
  // A command: the result to end the dialog with, or nothing to go on.
  // OK (1, also Enter) reads the eight boxes and saves all eight values;
  // cancel (2: Esc, the close box) reads and writes nothing.
  std::optional<int> OnCommand(int commandId, Dialog& dialog);

 private:
  HotkeyChoiceTables& tables_;
  HotkeySettings& settings_;
};

}  // namespace kestro
