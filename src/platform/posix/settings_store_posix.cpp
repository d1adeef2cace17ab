#include "platform/posix/settings_store_posix.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <optional>

#include "hotkeys/ini_profile.h"
#include "platform/executable_path.h"

namespace kestro {
namespace {

// The file's bytes, or nothing when it cannot be opened.
std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int PosixSettingsStore::ReadInt(const std::string& path, std::string_view section,
                                std::string_view key, int fallback) {
  return IniReadInt(ReadFile(path).value_or(""), section, key, fallback);
}

void PosixSettingsStore::WriteString(const std::string& path, std::string_view section,
                                     std::string_view key, std::string_view text) {
  std::optional<std::string> before = ReadFile(path);
  std::string after = IniWriteString(before.value_or(""), section, key, text);
  // As the profile functions do, a value already in place leaves the file
  // untouched, down to its modification time.
  if (before && *before == after) return;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(after.data(), static_cast<std::streamsize>(after.size()));
}

std::string ExecutableDirectory() {
  std::filesystem::path program = ExecutablePath();
  if (program.empty()) return {};
  return program.parent_path().string() + "/";
}

}  // namespace kestro
