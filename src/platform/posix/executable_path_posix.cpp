#include <unistd.h>

#include "platform/executable_path.h"

namespace kestro {

NativePath ExecutablePath() {
  std::string path(4096, '\0');
  ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(length));
  return path;
}

NativePath ExecutableFolder() {
  NativePath path = ExecutablePath();
  std::size_t separator = path.rfind('/');
  if (separator == NativePath::npos) return {};
  path.resize(separator);
  return path;
}

}  // namespace kestro
