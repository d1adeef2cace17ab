// The file pickers of the script menu.
#pragma once

#include <optional>

#include "platform/native_path.h"

namespace kestro {

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen script to load, or nothing when the user cancels.
  virtual std::optional<NativePath> ChooseScriptToOpen() = 0;
  // The name chosen to save under (".ini" is added later), or nothing.
  virtual std::optional<NativePath> ChooseScriptSaveName() = 0;
};

// The system's common open and save dialogs (Windows).
class SystemFileDialogs final : public FileDialogs {
 public:
  std::optional<NativePath> ChooseScriptToOpen() override;
  std::optional<NativePath> ChooseScriptSaveName() override;
};

}  // namespace kestro
