// The settings store: the two INI profile operations the hotkey settings
// need, with the semantics of the Windows profile functions.
#pragma once

#include <string_view>

#include "platform/native_path.h"

namespace kestro {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // As GetPrivateProfileInt: the integer the key's text starts with, or the
  // fallback when the file, the section or the key is absent. Names GBK.
  virtual int ReadInt(const NativePath& path, std::string_view section, std::string_view key,
                      int fallback) = 0;
  // As WritePrivateProfileString: sets the key's text, creating the file and
  // the section when they are absent. Failures go unnoticed, as there.
  virtual void WriteString(const NativePath& path, std::string_view section, std::string_view key,
                           std::string_view text) = 0;
};

// The system's profile functions (Windows). A system without them uses
// IniFileStore (text/ini_file_store.h), the same rules on the file's bytes.
class SystemSettingsStore final : public SettingsStore {
 public:
  int ReadInt(const NativePath& path, std::string_view section, std::string_view key,
              int fallback) override;
  void WriteString(const NativePath& path, std::string_view section, std::string_view key,
                   std::string_view text) override;
};

}  // namespace kestro
