// Reads a dialog template (DLGTEMPLATEEX) from a module's resources, so a
// test can compare every control's id, class, style, text and rectangle
// with what the program is meant to show.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kestro::e2e {

struct TemplateControl {
  int id;
  std::wstring className;  // "Button", "Edit", "Static", "ListBox", "ComboBox", or a name
  std::wstring text;
  DWORD style;
  short x, y, cx, cy;
};

struct DialogTemplate {
  bool found = false;
  DWORD style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  int menu = 0;
  std::wstring caption;
  WORD fontSize = 0;
  std::wstring fontName;
  std::vector<TemplateControl> controls;
};

DialogTemplate ReadDialogTemplate(HMODULE module, int id);

}  // namespace kestro::e2e
