#include <windows.h>

#include "testing/ended_process.h"

namespace kestro {

// A suspended copy of this program, ended before it runs a line; once its
// last handle is closed, its id no longer exists.
ProcessId EndedProcessId() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  STARTUPINFOW startup{sizeof startup};
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(self, nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                      &startup, &info))
    return 0;
  TerminateProcess(info.hProcess, 0);
  WaitForSingleObject(info.hProcess, INFINITE);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return info.dwProcessId;
}

}  // namespace kestro
