// The settings store on a system without INI profile functions: the file is
// read and rewritten whole through the portable INI reader and writer.
#pragma once

#include "platform/files.h"
#include "platform/settings_store.h"

namespace kestro {

class IniFileStore final : public SettingsStore {
 public:
  explicit IniFileStore(Files& files) : files_(files) {}

  int ReadInt(const NativePath& path, std::string_view section, std::string_view key,
              int fallback) override;
  void WriteString(const NativePath& path, std::string_view section, std::string_view key,
                   std::string_view text) override;

 private:
  Files& files_;
};

}  // namespace kestro
