#include "platform/win32/gbk_text_win32.h"

#include <windows.h>

namespace kestro {
namespace {
constexpr UINT kCodePageGbk = 936;
}

std::wstring WideFromGbk(std::string_view gbk) {
  if (gbk.empty()) return {};
  int size = static_cast<int>(gbk.size());
  int count = MultiByteToWideChar(kCodePageGbk, 0, gbk.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(count), L'\0');
  MultiByteToWideChar(kCodePageGbk, 0, gbk.data(), size, wide.data(), count);
  return wide;
}

std::string GbkFromWide(std::wstring_view wide) {
  if (wide.empty()) return {};
  int size = static_cast<int>(wide.size());
  int count = WideCharToMultiByte(kCodePageGbk, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string gbk(static_cast<std::size_t>(count), '\0');
  WideCharToMultiByte(kCodePageGbk, 0, wide.data(), size, gbk.data(), count, nullptr, nullptr);
  return gbk;
}

std::optional<std::string> ExactGbkFromWide(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  int size = static_cast<int>(wide.size());
  BOOL lost = FALSE;
  int count = WideCharToMultiByte(kCodePageGbk, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0,
                                  nullptr, &lost);
  if (lost || count <= 0) return std::nullopt;
  std::string gbk(static_cast<std::size_t>(count), '\0');
  WideCharToMultiByte(kCodePageGbk, WC_NO_BEST_FIT_CHARS, wide.data(), size, gbk.data(), count,
                      nullptr, nullptr);
  return gbk;
}

}  // namespace kestro
