// Starts another program, or opens a web address, the way the user's double
// click would (ShellExecute "open" on Windows). The caller does not wait.
#pragma once

#include <string_view>

#include "platform/native_path.h"

namespace kestro {

class ProgramLauncher {
 public:
  virtual ~ProgramLauncher() = default;
  // Starts the program at the path with the command-line arguments (ASCII,
  // separated by blanks; empty for none); false when it could not be
  // started.
  virtual bool Start(const NativePath& program, std::string_view arguments) = 0;
  // Opens the address (GBK text) in the system's web browser; false when
  // nothing could be opened.
  virtual bool OpenAddress(std::string_view address) = 0;
};

class SystemProgramLauncher final : public ProgramLauncher {
 public:
  bool Start(const NativePath& program, std::string_view arguments) override;
  bool OpenAddress(std::string_view address) override;
};

}  // namespace kestro
