#include <windows.h>

#include <algorithm>

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

// The identity of a file (volume and index), which stays the same under any
// spelling of its path: short names, other letter case, a renamed folder.
std::optional<BY_HANDLE_FILE_INFORMATION> Identity(const NativePath& path) {
  HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  BOOL known = GetFileInformationByHandle(file, &info);
  CloseHandle(file);
  if (!known) return std::nullopt;
  return info;
}

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

std::vector<std::string> SystemProgramFiles::NamesBesideProgram() {
  std::vector<std::string> names;
  NativePath folder = Folder();
  if (folder.empty()) return names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(PathInFolder(folder, "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::wstring_view wide = found.cFileName;
    if (std::any_of(wide.begin(), wide.end(), [](wchar_t c) { return c == 0 || c > 0x7F; }))
      continue;
    names.emplace_back(wide.begin(), wide.end());
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

std::unique_ptr<FileWriter> SystemProgramFiles::CreateNew(const NativePath& path) {
  // CREATE_NEW never opens (and empties) a file that is already there.
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32FileWriter>(file);
}

bool SystemProgramFiles::Exists(const NativePath& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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

// Without MOVEFILE_REPLACE_EXISTING the move fails when the target exists.
bool SystemProgramFiles::Move(const NativePath& from, const NativePath& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

void SystemProgramFiles::Remove(const NativePath& path) { DeleteFileW(path.c_str()); }

bool SystemProgramFiles::IsRunningProgram(const NativePath& path) {
  std::optional<BY_HANDLE_FILE_INFORMATION> file = Identity(path);
  std::optional<BY_HANDLE_FILE_INFORMATION> program = Identity(ExecutablePath());
  if (!file || !program) return false;
  return file->dwVolumeSerialNumber == program->dwVolumeSerialNumber &&
         file->nFileIndexHigh == program->nFileIndexHigh &&
         file->nFileIndexLow == program->nFileIndexLow;
}

}  // namespace kestro
