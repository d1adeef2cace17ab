// An in-memory settings store for tests: files are byte strings by path,
// read and written with the profile functions' rules (the portable INI
// reader and writer), and every write is logged.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/settings_store.h"
#include "text/ini_profile.h"

namespace kestro {

class MemorySettingsStore : public SettingsStore {
 public:
  int ReadInt(const NativePath& path, std::string_view section, std::string_view key,
              int fallback) override {
    auto file = files.find(path);
    return IniReadInt(file == files.end() ? "" : file->second, section, key, fallback);
  }

  void WriteString(const NativePath& path, std::string_view section, std::string_view key,
                   std::string_view text) override {
    writes.push_back(std::string(section) + "/" + std::string(key) + "=" + std::string(text));
    files[path] = IniWriteString(files[path], section, key, text);
  }

  std::map<NativePath, std::string> files;
  // Every write as "section/key=text", in order.
  std::vector<std::string> writes;
};

}  // namespace kestro
