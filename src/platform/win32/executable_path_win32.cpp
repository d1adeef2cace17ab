#include <windows.h>

#include "platform/executable_path.h"

namespace kestro {

// GetModuleFileNameW cuts a path that does not fit silently, so the buffer
// grows until the path fits (at most the longest path Windows knows).
NativePath ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

NativePath ExecutableFolder() {
  NativePath path = ExecutablePath();
  std::size_t separator = path.find_last_of(L"\\/");
  if (separator == NativePath::npos) return {};
  path.resize(separator);
  return path;
}

}  // namespace kestro
