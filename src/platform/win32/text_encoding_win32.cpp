#include <windows.h>

#include "platform/text_encoding.h"

namespace kestro {

std::u16string Utf16FromGbk(std::string_view gbk) {
  if (gbk.empty()) return {};
  int size = static_cast<int>(gbk.size());
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  int made = MultiByteToWideChar(936, 0, gbk.data(), size, wide.data(), size);
  return std::u16string(wide.begin(), wide.begin() + (made > 0 ? made : 0));
}

}  // namespace kestro
