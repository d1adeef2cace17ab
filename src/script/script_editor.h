// The editor commands that compose script lines in the main window's list:
// five insert commands that share one placement rule, delete and clear, and
// the initial state of the editor controls.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/main_window.h"

namespace kestro {

// The special-key combo: every key name in table order, the first selected.
void FillKeyNameCombo(MainWindow& window);
// The mouse-command and the two key-action combos, each with its first
// entry selected, and the initial texts of the edit fields.
void FillEditorControls(MainWindow& window);

// Places a line after the selected one, or at the end when none is
// selected, and selects it.
void InsertScriptLine(MainWindow& window, std::string_view line);
// The same for several lines, in one go: they follow each other after the
// selected line, or at the end, and the last one is selected.
void InsertScriptLines(MainWindow& window, const std::vector<std::string>& lines);

void InsertMouseLine(MainWindow& window);       // button 1001
void InsertMoveLine(MainWindow& window);        // button 1005
void InsertKeyLine(MainWindow& window);         // button 1018
void InsertSpecialKeyLine(MainWindow& window);  // button 1032
void InsertWaitLine(MainWindow& window);        // button 1004
// The text of 1044 as "输入文字" lines, as many as it takes; refused when
// empty or holding a character GBK has not.
void InsertTypeTextLines(MainWindow& window);   // button 1045
void InsertColourWaitLine(MainWindow& window);  // button 1050
void InsertWheelLine(MainWindow& window);       // button 1052
void DeleteSelectedLine(MainWindow& window);    // menu 1011
void ClearScriptList(MainWindow& window);       // menu 1014

}  // namespace kestro
