#include <windows.h>

#include <algorithm>

#include "platform/files.h"

namespace kestro {
namespace {

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD count = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), count, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// Writes the bytes into a file made with the disposition; a failed write
// removes what it made.
bool WriteFileAs(const NativePath& path, std::string_view bytes, DWORD disposition) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool written = WriteAll(file, bytes);
  written = CloseHandle(file) && written;
  if (!written && disposition == CREATE_NEW) DeleteFileW(path.c_str());
  return written;
}

}  // namespace

std::optional<std::string> SystemFiles::ReadAll(const NativePath& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char chunk[64 * 1024];
  DWORD count = 0;
  bool ok = true;
  while ((ok = ReadFile(file, chunk, sizeof chunk, &count, nullptr)) && count > 0) {
    bytes.append(chunk, count);
  }
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return bytes;
}

bool SystemFiles::Exists(const NativePath& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SystemFiles::CreateNew(const NativePath& path, std::string_view bytes) {
  return WriteFileAs(path, bytes, CREATE_NEW);
}

bool SystemFiles::Replace(const NativePath& path, std::string_view bytes) {
  return WriteFileAs(path, bytes, CREATE_ALWAYS);
}

}  // namespace kestro
