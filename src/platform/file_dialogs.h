// The file pickers of the script menu. Paths stay in the platform's own
// form (UTF-16 on Windows), so names in any script open and save.
#pragma once

#include <filesystem>
#include <optional>

namespace kestro {

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen script to load, or nothing when the user cancels.
  virtual std::optional<std::filesystem::path> ChooseScriptToOpen() = 0;
  // The name chosen to save under (".ini" is added later), or nothing.
  virtual std::optional<std::filesystem::path> ChooseScriptSaveName() = 0;
};

}  // namespace kestro
