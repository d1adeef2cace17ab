#include "platform/win32/settings_store_win32.h"

#include <windows.h>

#include "platform/executable_path.h"
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
  std::filesystem::path program = ExecutablePath();
  if (program.empty()) return {};
  return GbkFromWide(program.parent_path().wstring() + L"\\");
}

}  // namespace kestro
