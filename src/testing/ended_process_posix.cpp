#include <sys/wait.h>
#include <unistd.h>

#include "testing/ended_process.h"

namespace kestro {

// The child ends at once and is reaped, so its id no longer exists.
ProcessId EndedProcessId() {
  pid_t child = fork();
  if (child < 0) return 0;
  if (child == 0) _exit(0);
  int status = 0;
  waitpid(child, &status, 0);
  return static_cast<ProcessId>(child);
}

}  // namespace kestro
