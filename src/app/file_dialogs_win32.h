// The script menu's file pickers: the common open and save dialogs.
#pragma once

#include "platform/file_dialogs.h"

namespace kestro {

class Win32FileDialogs : public FileDialogs {
 public:
  std::optional<std::filesystem::path> ChooseScriptToOpen() override;
  std::optional<std::filesystem::path> ChooseScriptSaveName() override;
};

}  // namespace kestro
