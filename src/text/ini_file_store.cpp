#include "text/ini_file_store.h"

#include "text/ini_profile.h"

namespace kestro {

int IniFileStore::ReadInt(const NativePath& path, std::string_view section, std::string_view key,
                          int fallback) {
  return IniReadInt(files_.ReadAll(path).value_or(""), section, key, fallback);
}

void IniFileStore::WriteString(const NativePath& path, std::string_view section,
                               std::string_view key, std::string_view text) {
  std::optional<std::string> before = files_.ReadAll(path);
  std::string after = IniWriteString(before.value_or(""), section, key, text);
  // As the profile functions do, a value already in place leaves the file
  // untouched, down to its modification time.
  if (before && *before == after) return;
  files_.Replace(path, after);
}

}  // namespace kestro
