#include <windows.h>

#include <cstdlib>

#include "testing/gbk_literal.h"

namespace kestro {

std::string GbkFromUtf8(std::string_view utf8) {
  if (utf8.empty()) return {};
  int size = static_cast<int>(utf8.size());
  int wideCount = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (wideCount == 0) std::abort();
  std::wstring wide(static_cast<std::size_t>(wideCount), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wideCount);
  BOOL lost = FALSE;
  int count = WideCharToMultiByte(936, 0, wide.data(), wideCount, nullptr, 0, nullptr, &lost);
  if (count == 0 || lost) std::abort();
  std::string gbk(static_cast<std::size_t>(count), '\0');
  WideCharToMultiByte(936, 0, wide.data(), wideCount, gbk.data(), count, nullptr, nullptr);
  return gbk;
}

}  // namespace kestro
