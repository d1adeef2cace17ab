#include <spawn.h>
#include <sys/wait.h>

#include "platform/program_launcher.h"

extern char** environ;

namespace kestro {

// Nothing is ever trusted for launch on this platform (see code_signing.h);
// the launcher still starts the program so the seam behaves the same
// everywhere.
void SystemProgramLauncher::Start(const std::string& path) {
  char* arguments[] = {const_cast<char*>(path.c_str()), nullptr};
  pid_t child = 0;
  posix_spawn(&child, path.c_str(), nullptr, nullptr, arguments, environ);
}

}  // namespace kestro
