// Where the running program lives: config.ini, the update download and the
// single-instance name all derive from it.
#pragma once

#include <filesystem>

namespace kestro {

// The full path of the running executable in the platform's own form
// (UTF-16 on Windows, of any length); empty when the system cannot tell.
std::filesystem::path ExecutablePath();

}  // namespace kestro
