#include "dialog_template.h"

#include <cstring>

namespace kestro::e2e {
namespace {

class Reader {
 public:
  explicit Reader(const BYTE* at) : at_(at) {}

  template <typename T>
  T Take() {
    T value;
    std::memcpy(&value, at_, sizeof value);
    at_ += sizeof value;
    return value;
  }
  std::wstring String() {
    std::wstring text;
    for (WORD c = Take<WORD>(); c != 0; c = Take<WORD>()) text += static_cast<wchar_t>(c);
    return text;
  }
  // A name or an ordinal: 0 for none, 0xFFFF and a number, or a string.
  std::wstring NameOrOrdinal(int* ordinal) {
    WORD first = Take<WORD>();
    *ordinal = 0;
    if (first == 0) return {};
    if (first == 0xFFFF) {
      *ordinal = Take<WORD>();
      return {};
    }
    at_ -= sizeof(WORD);
    return String();
  }
  void AlignToDword(const BYTE* base) {
    while ((at_ - base) % 4 != 0) ++at_;
  }
  void Skip(std::size_t bytes) { at_ += bytes; }

 private:
  const BYTE* at_;
};

std::wstring ClassOfOrdinal(int ordinal) {
  switch (ordinal) {
    case 0x80:
      return L"Button";
    case 0x81:
      return L"Edit";
    case 0x82:
      return L"Static";
    case 0x83:
      return L"ListBox";
    case 0x84:
      return L"ScrollBar";
    case 0x85:
      return L"ComboBox";
  }
  return L"#" + std::to_wstring(ordinal);
}

}  // namespace

DialogTemplate ReadDialogTemplate(HMODULE module, int id) {
  DialogTemplate dialog;
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
  if (!resource) return dialog;
  const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
  Reader read(base);
  if (read.Take<WORD>() != 1 || read.Take<WORD>() != 0xFFFF) return dialog;  // DIALOGEX only
  dialog.found = true;
  read.Take<DWORD>();  // help id
  read.Take<DWORD>();  // extended style
  dialog.style = read.Take<DWORD>();
  WORD count = read.Take<WORD>();
  dialog.x = read.Take<short>();
  dialog.y = read.Take<short>();
  dialog.cx = read.Take<short>();
  dialog.cy = read.Take<short>();
  int ordinal = 0;
  read.NameOrOrdinal(&dialog.menu);
  read.NameOrOrdinal(&ordinal);  // window class
  dialog.caption = read.String();
  if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
    dialog.fontSize = read.Take<WORD>();
    read.Take<WORD>();  // weight
    read.Take<BYTE>();  // italic
    read.Take<BYTE>();  // character set
    dialog.fontName = read.String();
  }
  for (WORD i = 0; i < count; ++i) {
    read.AlignToDword(base);
    TemplateControl control{};
    read.Take<DWORD>();  // help id
    read.Take<DWORD>();  // extended style
    control.style = read.Take<DWORD>();
    control.x = read.Take<short>();
    control.y = read.Take<short>();
    control.cx = read.Take<short>();
    control.cy = read.Take<short>();
    control.id = static_cast<int>(read.Take<DWORD>());
    control.className = read.NameOrOrdinal(&ordinal);
    if (ordinal) control.className = ClassOfOrdinal(ordinal);
    control.text = read.NameOrOrdinal(&ordinal);
    read.Skip(read.Take<WORD>());  // creation data
    dialog.controls.push_back(control);
  }
  return dialog;
}

}  // namespace kestro::e2e
