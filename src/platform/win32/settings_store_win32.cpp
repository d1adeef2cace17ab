#include "platform/win32/settings_store_win32.h"

#include <windows.h>

#include "platform/win32/gbk_text.h"

namespace kestro {

int Win32SettingsStore::ReadInt(const std::string& path, std::string_view section,
                                std::string_view key, int fallback) {
  // The result is the unsigned form of a signed value; -1 comes back as -1.
  return static_cast<int>(GetPrivateProfileIntW(
      WideFromGbk(section).c_str(), WideFromGbk(key).c_str(), fallback, WideFromGbk(path).c_str()));
}

void Win32SettingsStore::WriteString(const std::string& path, std::string_view section,
                                     std::string_view key, std::string_view text) {
  WritePrivateProfileStringW(WideFromGbk(section).c_str(), WideFromGbk(key).c_str(),
                             WideFromGbk(text).c_str(), WideFromGbk(path).c_str());
}

std::string ExecutableDirectory() {
  // The path may exceed MAX_PATH; grow until it fits (the API cuts silently).
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
  std::size_t separator = path.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return {};
  path.resize(separator + 1);
  return GbkFromWide(path);
}

}  // namespace kestro
