#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

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

// Where a handle's name really leads, as \\?\C:\folder\name; empty when
// unknown.
std::wstring FinalPath(HANDLE file) {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), 0);
  if (length >= path.size()) {
    path.resize(length + 1);
    length = GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), 0);
  }
  path.resize(length < path.size() ? length : 0);
  return path;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return !a.empty() && CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                            static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// The final path the file of that path must have to be itself: its
// folder's final path and its own name.
std::wstring ExpectedFinalPath(const NativePath& path) {
  std::size_t slash = path.find_last_of(L"\\/");
  if (slash == NativePath::npos) return {};
  HANDLE folder = CreateFileW(path.substr(0, slash).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return {};
  std::wstring final = FinalPath(folder);
  CloseHandle(folder);
  if (final.empty()) return {};
  return final + L"\\" + path.substr(slash + 1);
}

class Win32HeldFile final : public HeldFile {
 public:
  Win32HeldFile(HANDLE file, NativePath path) : file_(file), path_(std::move(path)) {}
  ~Win32HeldFile() override { CloseHandle(file_); }
  Win32HeldFile(const Win32HeldFile&) = delete;
  Win32HeldFile& operator=(const Win32HeldFile&) = delete;

  const NativePath& path() const override { return path_; }
  std::optional<std::uint64_t> Size() override {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file_, &size)) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
  }
  // Through the handle, so it is this very file that gets the name.
  bool MoveTo(const NativePath& to) override {
    std::size_t bytes = sizeof(FILE_RENAME_INFO) + to.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(bytes, 0);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->FileNameLength = static_cast<DWORD>(to.size() * sizeof(wchar_t));
    std::copy(to.begin(), to.end(), rename->FileName);
    if (!SetFileInformationByHandle(file_, FileRenameInfo, rename, static_cast<DWORD>(bytes))) {
      return false;
    }
    path_ = to;
    return true;
  }
  void* SystemHandle() const override { return file_; }

 private:
  HANDLE file_;
  NativePath path_;
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

// A name can lead elsewhere: a reparse point on Windows, and under Wine a
// Unix link, which looks like a plain file and whose target every way of
// deleting would remove. Only a file whose final path is its own name is
// deleted, through the very handle that was checked.
void SystemProgramFiles::Remove(const NativePath& path) {
  HANDLE file = CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  FILE_BASIC_INFO basic{};
  bool plain = GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) &&
               !(basic.FileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY));
  if (plain && SamePath(FinalPath(file), ExpectedFinalPath(path))) {
    FILE_DISPOSITION_INFO disposition{TRUE};
    SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
  }
  CloseHandle(file);
}

// Read and rename, and share reading only: nobody else writes, renames or
// deletes it, while the system may still open it to start the program.
std::unique_ptr<HeldFile> SystemProgramFiles::Hold(const NativePath& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32HeldFile>(file, path);
}

NativePath SystemProgramFiles::RunningProgramPath() { return ExecutablePath(); }

}  // namespace kestro
