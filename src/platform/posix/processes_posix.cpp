#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/precise_wait.h"
#include "platform/processes.h"

namespace kestro {

ProcessId SystemProcesses::CurrentProcessId() { return static_cast<ProcessId>(getpid()); }

// Signal 0 only asks whether the process exists; EPERM means it does but
// belongs to someone else.
bool SystemProcesses::IsRunning(ProcessId process) {
  if (process == 0 || process > static_cast<ProcessId>(INT32_MAX)) return false;
  return kill(static_cast<pid_t>(process), 0) == 0 || errno == EPERM;
}

// Its parent, unless this process was handed to init since.
bool SystemProcesses::IsParentProcess(ProcessId process) {
  return process > 1 && static_cast<pid_t>(process) == getppid();
}

// POSIX can wait only for its own children, so another process is polled.
bool SystemProcesses::WaitForExit(ProcessId process, std::uint32_t limitMs) {
  std::int64_t deadline = MonotonicMicroseconds() + std::int64_t{limitMs} * 1000;
  for (;;) {
    if (!IsRunning(process)) return true;
    if (MonotonicMicroseconds() >= deadline) return false;
    timespec pause{0, 20 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
}

}  // namespace kestro
