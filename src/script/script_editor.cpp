#include "script/script_editor.h"

#include <array>
#include <string>

#include "resource_ids.h"
#include "script/line_costs.h"
#include "script/script_language.h"
#include "script/typed_text.h"
#include "text/system_texts.h"

namespace kestro {
namespace {

constexpr std::array<std::string_view, 7> kMouseCommandChoices = {
    text::kClickLeftChoice,    text::kClickRightChoice, text::kDoubleClickLeftChoice,
    text::kPressLeftChoice,    text::kPressRightChoice, text::kReleaseLeftChoice,
    text::kReleaseRightChoice,
};

constexpr std::array<std::string_view, 3> kKeyActionChoices = {
    text::kTapKeyChoice, text::kPressKeyChoice, text::kReleaseKeyChoice};

// Only these keys are pressed and released on their own; every other named
// key is written as a tap whatever action is chosen.
constexpr std::array<std::string_view, 5> kModifierKeyNames = {
    text::kShiftKeyName, text::kCtrlKeyName, text::kAltKeyName, text::kLeftWinKeyName,
    text::kRightWinKeyName};

bool IsModifierKeyName(std::string_view name) {
  for (std::string_view modifier : kModifierKeyNames) {
    if (modifier == name) return true;
  }
  return false;
}

}  // namespace

void FillKeyNameCombo(MainWindow& window) {
  for (const auto& row : KeyNameTable) window.ComboAdd(IDC_SPECIAL_KEY, row.name);
  window.ComboSelect(IDC_SPECIAL_KEY, 0);
}

void FillEditorControls(MainWindow& window) {
  for (std::string_view choice : kMouseCommandChoices) window.ComboAdd(IDC_MOUSE_CHOICE, choice);
  window.ComboSelect(IDC_MOUSE_CHOICE, 0);
  for (int combo : {IDC_KEY_ACTION, IDC_SPECIAL_ACTION}) {
    for (std::string_view choice : kKeyActionChoices) window.ComboAdd(combo, choice);
    window.ComboSelect(combo, 0);
  }
  window.SetControlText(IDC_KEY_CHAR, "a");
  window.SetControlText(IDC_REPEAT_COUNT, "1");
  window.SetControlText(IDC_WAIT_MS, "1000");
  window.SetControlText(IDC_TARGET_X, "0");
  window.SetControlText(IDC_TARGET_Y, "0");
  window.SetControlText(IDC_COLOUR_X, "0");
  window.SetControlText(IDC_COLOUR_Y, "0");
  window.SetControlText(IDC_COLOUR_LIMIT, std::to_string(kColourWaitLimitMs));
  window.SetControlText(IDC_WHEEL_NOTCHES, "1");
}

void InsertScriptLine(MainWindow& window, std::string_view line) {
  int selected = window.ListSelection();
  int index = selected < 0 ? window.ListCount() : selected + 1;
  window.ListInsert(index, line);
  window.ListSelect(index);
}

void InsertScriptLines(MainWindow& window, const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  int selected = window.ListSelection();
  int index = selected < 0 ? window.ListCount() : selected + 1;
  window.ListInsert(index, lines);
  window.ListSelect(index + static_cast<int>(lines.size()) - 1);
}

void InsertMouseLine(MainWindow& window) {
  InsertScriptLine(window, ComposeLine(window.ControlText(IDC_MOUSE_CHOICE), ""));
}

void InsertMoveLine(MainWindow& window) {
  InsertScriptLine(window,
                   ComposeLine(CommandId::MoveMouse, window.ControlText(IDC_TARGET_X) + "," +
                                                         window.ControlText(IDC_TARGET_Y)));
}

void InsertKeyLine(MainWindow& window) {
  InsertScriptLine(
      window, ComposeLine(window.ControlText(IDC_KEY_ACTION), window.ControlText(IDC_KEY_CHAR)));
}

void InsertSpecialKeyLine(MainWindow& window) {
  std::string name = window.ControlText(IDC_SPECIAL_KEY);
  if (IsModifierKeyName(name)) {
    InsertScriptLine(window, ComposeLine(window.ControlText(IDC_SPECIAL_ACTION), "(" + name + ")"));
    return;
  }
  std::string line = ComposeLine(CommandId::TapKey, "(" + name + ")");
  window.ComboSelect(IDC_SPECIAL_ACTION, 0);
  InsertScriptLine(window, line);
}

void InsertWaitLine(MainWindow& window) {
  std::string milliseconds = window.ControlText(IDC_WAIT_MS);
  if (milliseconds.empty()) {
    window.ShowMessage(BoxOwner::MainWindow, text::kEnterWaitTimeMessage, text::kNoticeCaption,
                       kBoxOk);
    return;
  }
  InsertScriptLine(window, ComposeLine(CommandId::Wait, milliseconds));
}

namespace {

// The editor's one refusal, as for an empty wait: a notice and no line.
void Refuse(MainWindow& window, std::string_view message) {
  window.ShowMessage(BoxOwner::MainWindow, message, text::kNoticeCaption, kBoxOk);
}

}  // namespace

void InsertTypeTextLines(MainWindow& window) {
  std::optional<std::string> text = window.ExactControlText(IDC_TYPE_TEXT);
  if (!text) return Refuse(window, text::kTextNotGbkMessage);
  if (text->empty()) return Refuse(window, text::kEnterTextMessage);
  InsertScriptLines(window, TypeTextLines(*text));
}

// "等待颜色:x,y,BBGGRR;", with ",t" before the ';' when a time limit is
// written; the fields go in as they are, as the move line's do.
void InsertColourWaitLine(MainWindow& window) {
  std::string colour = window.ControlText(IDC_COLOUR_VALUE);
  if (colour.empty()) return Refuse(window, text::kEnterColourMessage);
  std::string argument =
      window.ControlText(IDC_COLOUR_X) + "," + window.ControlText(IDC_COLOUR_Y) + "," + colour;
  std::string limit = window.ControlText(IDC_COLOUR_LIMIT);
  if (!limit.empty()) argument += "," + limit;
  InsertScriptLine(window, ComposeLine(CommandId::WaitColour, argument));
}

void InsertWheelLine(MainWindow& window) {
  std::string notches = window.ControlText(IDC_WHEEL_NOTCHES);
  if (notches.empty()) return Refuse(window, text::kEnterNotchesMessage);
  InsertScriptLine(window, ComposeLine(CommandId::ScrollWheel, notches));
}

void DeleteSelectedLine(MainWindow& window) {
  int selected = window.ListSelection();
  if (selected < 0) {
    window.ShowMessage(BoxOwner::MainWindow, text::kNoLineSelectedMessage, text::kNoticeCaption,
                       kBoxOk);
    return;
  }
  window.ListDelete(selected);
  window.ListSelect(-1);
}

void ClearScriptList(MainWindow& window) { window.ListClear(); }

}  // namespace kestro
