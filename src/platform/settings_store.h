// The settings store: the two INI profile operations the hotkey settings
// need, with the semantics of the Windows profile functions. The Windows
// program calls those functions; elsewhere a portable INI reader and writer
// (hotkeys/ini_profile.h) works on the file itself.
#pragma once

#include <string>
#include <string_view>

namespace kestro {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // As GetPrivateProfileInt: the integer the key's text starts with, or the
  // fallback when the file, the section or the key is absent. All text GBK.
  virtual int ReadInt(const std::string& path, std::string_view section, std::string_view key,
                      int fallback) = 0;
  // As WritePrivateProfileString: sets the key's text, creating the file and
  // the section when they are absent. Failures go unnoticed, as there.
  virtual void WriteString(const std::string& path, std::string_view section, std::string_view key,
                           std::string_view text) = 0;
};

// The directory of the running executable, ending in the platform's path
// separator, so a file name can be appended as it is ("C:\kestro\",
// "/opt/kestro/"). Empty when the platform cannot tell.
std::string ExecutableDirectory();

}  // namespace kestro
