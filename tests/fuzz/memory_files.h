// Whole files in memory for the fuzz targets: no disk between the loader or
// the settings store and the fuzzer, every write counted, and writes that
// fail on demand.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace kestro::fuzz {

class MemoryFiles : public Files {
 public:
  std::optional<std::string> ReadAll(const NativePath& path) override {
    auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return found->second;
  }
  bool Exists(const NativePath& path) override { return files.count(path) != 0; }
  bool CreateNew(const NativePath& path, std::string_view bytes) override {
    ++writes;
    return !failWrites && files.emplace(path, bytes).second;
  }
  bool Replace(const NativePath& path, std::string_view bytes) override {
    ++writes;
    if (failWrites) return false;
    files[path] = bytes;
    return true;
  }

  std::map<NativePath, std::string> files;
  int writes = 0;
  bool failWrites = false;
};

}  // namespace kestro::fuzz
