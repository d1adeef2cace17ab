// The id of a process that has just ended, for tests that need an id no
// process uses.
#pragma once

#include "platform/processes.h"

namespace kestro {

// Starts a process, lets it end and returns its id; 0 when none could be
// started.
ProcessId EndedProcessId();

}  // namespace kestro
