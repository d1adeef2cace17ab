// Processes as the update's hand-over needs them: this process's id, whether
// another process still runs, and waiting for one to end. Ids are the
// system's (Windows process ids, POSIX pids).
#pragma once

#include <cstdint>

namespace kestro {

using ProcessId = std::uint32_t;

class Processes {
 public:
  virtual ~Processes() = default;
  virtual ProcessId CurrentProcessId() = 0;
  // True while a process of that id exists. A process the caller may not
  // look at counts as running: only a process known to be gone is not.
  virtual bool IsRunning(ProcessId process) = 0;
  // Waits until the process has ended, at most the time limit; true when it
  // has ended (or never existed), false when it still runs or cannot be
  // watched.
  virtual bool WaitForExit(ProcessId process, std::uint32_t limitMs) = 0;
  // True when the process is the one that started this one: its id is this
  // process's parent's, and it began before this one did (so a later
  // process that got the same id does not count).
  virtual bool IsParentProcess(ProcessId process) = 0;
};

class SystemProcesses final : public Processes {
 public:
  ProcessId CurrentProcessId() override;
  bool IsRunning(ProcessId process) override;
  bool WaitForExit(ProcessId process, std::uint32_t limitMs) override;
  bool IsParentProcess(ProcessId process) override;
};

}  // namespace kestro
