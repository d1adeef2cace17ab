#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files.h"

namespace kestro {
namespace {

bool WriteAll(int file, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = write(file, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Writes the bytes into a file opened with the flags; a failed write removes
// a file that the call made.
bool WriteFileAs(const NativePath& path, std::string_view bytes, int flags) {
  int file = open(path.c_str(), O_WRONLY | O_CLOEXEC | flags, 0644);
  if (file < 0) return false;
  bool written = WriteAll(file, bytes);
  written = close(file) == 0 && written;
  if (!written && (flags & O_EXCL)) unlink(path.c_str());
  return written;
}

}  // namespace

std::optional<std::string> SystemFiles::ReadAll(const NativePath& path) {
  int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return std::nullopt;
  std::string bytes;
  char chunk[64 * 1024];
  for (;;) {
    ssize_t count = read(file, chunk, sizeof chunk);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      close(file);
      return std::nullopt;
    }
    if (count == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(count));
  }
  close(file);
  return bytes;
}

bool SystemFiles::Exists(const NativePath& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0;
}

bool SystemFiles::CreateNew(const NativePath& path, std::string_view bytes) {
  return WriteFileAs(path, bytes, O_CREAT | O_EXCL);
}

bool SystemFiles::Replace(const NativePath& path, std::string_view bytes) {
  return WriteFileAs(path, bytes, O_CREAT | O_TRUNC);
}

}  // namespace kestro
