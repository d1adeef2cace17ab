#include <spawn.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/program_launcher.h"

extern char** environ;

namespace kestro {
namespace {

bool Spawn(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  return posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0;
}

}  // namespace

// Nothing is ever trusted for launch on this platform (see code_signing.h);
// the launcher still starts the program so the seam behaves the same
// everywhere.
bool SystemProgramLauncher::Start(const NativePath& program, std::string_view arguments) {
  std::vector<std::string> words;
  std::istringstream split{std::string(arguments)};
  for (std::string word; split >> word;) words.push_back(word);
  return Spawn(program, words);
}

bool SystemProgramLauncher::OpenAddress(std::string_view address) {
  return Spawn("xdg-open", {std::string(address)});
}

}  // namespace kestro
