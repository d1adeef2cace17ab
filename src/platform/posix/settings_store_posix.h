// The settings store on a platform without INI profile functions: the file
// is read and rewritten whole through the portable INI reader and writer.
#pragma once

#include "platform/settings_store.h"

namespace kestro {

class PosixSettingsStore : public SettingsStore {
 public:
  int ReadInt(const std::string& path, std::string_view section, std::string_view key,
              int fallback) override;
  void WriteString(const std::string& path, std::string_view section, std::string_view key,
                   std::string_view text) override;
};

}  // namespace kestro
