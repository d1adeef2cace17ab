// Where the program asks for updates: the server set at build time.
#pragma once

#include "update/update_checker.h"

namespace kestro {

UpdateSettings UpdateServerSettings();

}  // namespace kestro
