#include "testing/scratch_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace kestro {
namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
  std::random_device random;
  fs::path base = fs::temp_directory_path();
  for (;;) {
    fs::path candidate = base / ("kestro-update-test-" + std::to_string(random()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = candidate.native();
      return;
    }
    if (error) throw fs::filesystem_error("cannot create a scratch folder", candidate, error);
  }
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

NativePath ScratchFolder::PathOf(const std::string& name) const {
  return (fs::path(path_) / name).native();
}

std::vector<std::string> ScratchFolder::Names() const {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(path_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ScratchFolder::Read(const std::string& name) const {
  std::ifstream file(fs::path(path_) / name, std::ios::binary);
  if (!file) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream file(fs::path(path_) / name, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kestro
