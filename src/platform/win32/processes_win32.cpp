#include <windows.h>
// after windows.h, which it needs
#include <tlhelp32.h>

#include "platform/processes.h"

namespace kestro {
namespace {

// The id of the process that started this one, from the system's list of
// processes; 0 when unknown.
DWORD ParentId() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  DWORD self = GetCurrentProcessId();
  DWORD parent = 0;
  PROCESSENTRY32W entry{sizeof entry};
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == self) {
      parent = entry.th32ParentProcessID;
      break;
    }
  }
  CloseHandle(snapshot);
  return parent;
}

bool CreationTime(HANDLE process, ULARGE_INTEGER& time) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return false;
  time.LowPart = created.dwLowDateTime;
  time.HighPart = created.dwHighDateTime;
  return true;
}

}  // namespace

ProcessId SystemProcesses::CurrentProcessId() { return GetCurrentProcessId(); }

// A process that cannot be opened because access is denied exists.
bool SystemProcesses::IsRunning(ProcessId process) {
  HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
  if (handle == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  bool running = WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
  CloseHandle(handle);
  return running;
}

// Waited for on its handle; a process that cannot be watched is not waited
// for at all.
bool SystemProcesses::WaitForExit(ProcessId process, std::uint32_t limitMs) {
  HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
  if (handle == nullptr) return GetLastError() != ERROR_ACCESS_DENIED;
  DWORD result = WaitForSingleObject(handle, limitMs);
  CloseHandle(handle);
  return result == WAIT_OBJECT_0;
}

bool SystemProcesses::IsParentProcess(ProcessId process) {
  if (process == 0 || process != ParentId()) return false;
  HANDLE parent = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  if (parent == nullptr) return false;
  ULARGE_INTEGER parentStart{}, ownStart{};
  bool earlier = CreationTime(parent, parentStart) && CreationTime(GetCurrentProcess(), ownStart) &&
                 parentStart.QuadPart <= ownStart.QuadPart;
  CloseHandle(parent);
  return earlier;
}

}  // namespace kestro
