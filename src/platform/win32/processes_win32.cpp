#include <windows.h>

#include "platform/processes.h"

namespace kestro {
namespace {

// The process, opened only to wait for it; nullptr when no process of that
// id exists. Access denied means it exists, so that case is reported apart.
HANDLE OpenForWaiting(ProcessId process, bool& denied) {
  HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
  denied = handle == nullptr && GetLastError() == ERROR_ACCESS_DENIED;
  return handle;
}

}  // namespace

ProcessId SystemProcesses::CurrentProcessId() { return GetCurrentProcessId(); }

bool SystemProcesses::IsRunning(ProcessId process) { return !WaitForExit(process, 0); }

bool SystemProcesses::WaitForExit(ProcessId process, std::uint32_t limitMs) {
  bool denied = false;
  HANDLE handle = OpenForWaiting(process, denied);
  if (handle == nullptr) {
    if (denied) Sleep(limitMs);
    return !denied;
  }
  DWORD result = WaitForSingleObject(handle, limitMs);
  CloseHandle(handle);
  return result == WAIT_OBJECT_0;
}

}  // namespace kestro
