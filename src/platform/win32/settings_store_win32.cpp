#include <windows.h>

#include "platform/settings_store.h"
#include "platform/win32/gbk_text_win32.h"

namespace kestro {

int SystemSettingsStore::ReadInt(const NativePath& path, std::string_view section,
                                 std::string_view key, int fallback) {
  // The result is the unsigned form of a signed value; -1 comes back as -1.
  return static_cast<int>(GetPrivateProfileIntW(WideFromGbk(section).c_str(),
                                                WideFromGbk(key).c_str(), fallback, path.c_str()));
}

void SystemSettingsStore::WriteString(const NativePath& path, std::string_view section,
                                      std::string_view key, std::string_view text) {
  WritePrivateProfileStringW(WideFromGbk(section).c_str(), WideFromGbk(key).c_str(),
                             WideFromGbk(text).c_str(), path.c_str());
}

}  // namespace kestro
