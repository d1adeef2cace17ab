#include "app/single_instance.h"

#include <windows.h>

#include <string>

#include "platform/executable_path.h"

namespace kestro {

bool IsFirstInstance() {
  std::wstring path = ExecutablePath();
  std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
  CreateMutexW(nullptr, TRUE, name.c_str());  // never closed: held until the process ends
  return GetLastError() != ERROR_ALREADY_EXISTS;
}

}  // namespace kestro
