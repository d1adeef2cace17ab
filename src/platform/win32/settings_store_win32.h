// The settings store of the Windows program: the profile functions
// GetPrivateProfileIntW and WritePrivateProfileStringW, with the GBK path
// and names converted explicitly.
#pragma once

#include "platform/settings_store.h"

namespace kestro {

class Win32SettingsStore : public SettingsStore {
 public:
  int ReadInt(const std::string& path, std::string_view section, std::string_view key,
              int fallback) override;
  void WriteString(const std::string& path, std::string_view section, std::string_view key,
                   std::string_view text) override;
};

}  // namespace kestro
