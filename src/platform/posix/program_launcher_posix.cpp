#include <spawn.h>

#include <string>

#include "platform/program_launcher.h"

extern char** environ;

namespace kestro {
namespace {

bool Spawn(const char* program, const char* argument) {
  char* arguments[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
  pid_t child = 0;
  return posix_spawnp(&child, program, nullptr, nullptr, arguments, environ) == 0;
}

}  // namespace

// Nothing is ever trusted for launch on this platform (see code_signing.h);
// the launcher still starts the program so the seam behaves the same
// everywhere.
bool SystemProgramLauncher::Start(const NativePath& program) {
  return Spawn(program.c_str(), nullptr);
}

bool SystemProgramLauncher::OpenAddress(std::string_view address) {
  std::string text(address);
  return Spawn("xdg-open", text.c_str());
}

}  // namespace kestro
