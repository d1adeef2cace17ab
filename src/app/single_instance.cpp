#include "app/single_instance.h"

#include <windows.h>

#include <string>

#include "platform/executable_path.h"

namespace kestro {
namespace {

std::wstring FileNameOf(const std::wstring& path) {
  return path.substr(path.find_last_of(L"\\/") + 1);
}

// The file name of the program that runs the process, or "".
std::wstring ProgramFileName(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return {};
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  BOOL known = QueryFullProcessImageNameW(process, 0, path.data(), &size);
  CloseHandle(process);
  if (!known) return {};
  path.resize(size);
  return FileNameOf(path);
}

}  // namespace

bool IsFirstInstance() {
  std::wstring name = FileNameOf(ExecutablePath());
  CreateMutexW(nullptr, TRUE, name.c_str());  // never closed: held until the process ends
  return GetLastError() != ERROR_ALREADY_EXISTS;
}

HWND FindRunningCopy() {
  std::wstring ownName = FileNameOf(ExecutablePath());
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, L"#32770", L"Zelmo按键")) != nullptr) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == GetCurrentProcessId()) continue;
    if (CompareStringOrdinal(ProgramFileName(processId).c_str(), -1, ownName.c_str(), -1, TRUE) ==
        CSTR_EQUAL) {
      return window;
    }
  }
  return nullptr;
}

}  // namespace kestro
