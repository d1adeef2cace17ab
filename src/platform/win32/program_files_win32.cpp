#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/executable_path.h"
#include "platform/program_files.h"

namespace kestro {
namespace {

class Win32FileWriter final : public FileWriter {
 public:
  explicit Win32FileWriter(HANDLE file) : file_(file) {}
  ~Win32FileWriter() override { CloseHandle(file_); }
  Win32FileWriter(const Win32FileWriter&) = delete;
  Win32FileWriter& operator=(const Win32FileWriter&) = delete;

  bool Append(std::string_view bytes) override {
    while (!bytes.empty()) {
      DWORD count = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
      DWORD written = 0;
      if (!WriteFile(file_, bytes.data(), count, &written, nullptr) || written == 0) return false;
      bytes.remove_prefix(written);
    }
    return true;
  }

 private:
  HANDLE file_;
};

}  // namespace

SystemProgramFiles::SystemProgramFiles(NativePath folder) : folder_(std::move(folder)) {}

NativePath SystemProgramFiles::Folder() const {
  return folder_.empty() ? ExecutableFolder() : folder_;
}

NativePath SystemProgramFiles::PathBesideProgram(std::string_view asciiName) {
  NativePath folder = Folder();
  if (folder.empty()) return {};
  return PathInFolder(folder, asciiName);
}

std::unique_ptr<FileWriter> SystemProgramFiles::CreateTemporaryBesideProgram(NativePath& path) {
  NativePath folder = Folder();
  if (folder.empty()) return nullptr;
  static std::atomic<unsigned> serial{0};
  // CREATE_NEW never opens someone else's file; a name in use is skipped.
  for (int attempt = 0; attempt < 100; ++attempt) {
    NativePath candidate =
        PathInFolder(folder, "~kestro-update-" + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(serial++) + ".tmp");
    HANDLE file = CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      path = candidate;
      return std::make_unique<Win32FileWriter>(file);
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return nullptr;
  }
  return nullptr;
}

std::optional<std::uint64_t> SystemProgramFiles::FileSize(const NativePath& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER size{};
  BOOL known = GetFileSizeEx(file, &size);
  CloseHandle(file);
  if (!known) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

bool SystemProgramFiles::MoveReplacing(const NativePath& from, const NativePath& to) {
  return MoveFileExW(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void SystemProgramFiles::Remove(const NativePath& path) { DeleteFileW(path.c_str()); }

}  // namespace kestro
