// Where the running program lives: config.ini, the update download and the
// single-instance name all derive from it.
#pragma once

#include "platform/native_path.h"

namespace kestro {

// The full path of the running executable, of any length; empty when the
// system cannot tell.
NativePath ExecutablePath();

// The folder of the running executable without a trailing separator; empty
// when the system cannot tell.
NativePath ExecutableFolder();

}  // namespace kestro
