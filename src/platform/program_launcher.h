// Starts another program the way the user's double click would
// (ShellExecute "open" on Windows). The caller does not wait for it.
#pragma once

#include <string>

namespace kestro {

class ProgramLauncher {
 public:
  virtual ~ProgramLauncher() = default;
  // Starts the program at the path (GBK); its outcome is not reported.
  virtual void Start(const std::string& path) = 0;
};

class SystemProgramLauncher final : public ProgramLauncher {
 public:
  void Start(const std::string& path) override;
};

}  // namespace kestro
