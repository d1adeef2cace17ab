#include "platform/text_encoding.h"
#include "platform/win32/gbk_text_win32.h"

namespace kestro {

std::u16string Utf16FromGbk(std::string_view gbk) {
  std::wstring wide = WideFromGbk(gbk);
  return std::u16string(wide.begin(), wide.end());
}

std::string GbkForDisplay(const NativePath& path) { return GbkFromWide(path); }

}  // namespace kestro
