#include <windows.h>

#include <algorithm>
#include <atomic>

#include "platform/executable_path.h"
#include "platform/program_files.h"
#include "platform/win32/gbk_text.h"

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

// The folder of the running program in GBK. A path that GBK cannot hold
// (characters of other scripts) gives "", so the update is skipped rather
// than written to a mangled path.
std::string RunningProgramFolder() {
  std::wstring folder = ExecutablePath().parent_path().wstring();
  if (folder.empty()) return {};
  std::string gbk = GbkFromWide(folder);
  if (WideFromGbk(gbk) != folder) return {};
  return gbk;
}

}  // namespace

SystemProgramFiles::SystemProgramFiles(std::string folder) : folder_(std::move(folder)) {}

std::string SystemProgramFiles::Folder() const {
  return folder_.empty() ? RunningProgramFolder() : folder_;
}

std::string SystemProgramFiles::PathBesideProgram(std::string_view name) {
  std::string folder = Folder();
  if (folder.empty()) return {};
  return folder + "\\" + std::string(name);
}

std::unique_ptr<FileWriter> SystemProgramFiles::CreateTemporaryBesideProgram(std::string& path) {
  std::string folder = Folder();
  if (folder.empty()) return nullptr;
  static std::atomic<unsigned> serial{0};
  // CREATE_NEW never opens someone else's file; a name in use is skipped.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = folder + "\\~kestro-update-" + std::to_string(GetCurrentProcessId()) +
                            "-" + std::to_string(serial++) + ".tmp";
    HANDLE file = CreateFileW(WideFromGbk(candidate).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      path = candidate;
      return std::make_unique<Win32FileWriter>(file);
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return nullptr;
  }
  return nullptr;
}

std::optional<std::uint64_t> SystemProgramFiles::FileSize(const std::string& path) {
  HANDLE file = CreateFileW(WideFromGbk(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER size{};
  BOOL known = GetFileSizeEx(file, &size);
  CloseHandle(file);
  if (!known) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

bool SystemProgramFiles::MoveReplacing(const std::string& from, const std::string& to) {
  return MoveFileExW(WideFromGbk(from).c_str(), WideFromGbk(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void SystemProgramFiles::Remove(const std::string& path) { DeleteFileW(WideFromGbk(path).c_str()); }

}  // namespace kestro
