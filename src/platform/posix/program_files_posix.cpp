#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/executable_path.h"
#include "platform/program_files.h"

namespace kestro {
namespace {

class PosixFileWriter final : public FileWriter {
 public:
  explicit PosixFileWriter(int file) : file_(file) {}
  ~PosixFileWriter() override { close(file_); }
  PosixFileWriter(const PosixFileWriter&) = delete;
  PosixFileWriter& operator=(const PosixFileWriter&) = delete;

  bool Append(std::string_view bytes) override {
    while (!bytes.empty()) {
      ssize_t written = write(file_, bytes.data(), bytes.size());
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
  }

 private:
  int file_;
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
  NativePath pattern = PathInFolder(folder, "~kestro-update-XXXXXX.tmp");
  int file = mkostemps(pattern.data(), 4, O_CLOEXEC);
  if (file < 0) return nullptr;
  path = pattern;
  return std::make_unique<PosixFileWriter>(file);
}

std::optional<std::uint64_t> SystemProgramFiles::FileSize(const NativePath& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(status.st_size);
}

bool SystemProgramFiles::MoveReplacing(const NativePath& from, const NativePath& to) {
  return rename(from.c_str(), to.c_str()) == 0;
}

void SystemProgramFiles::Remove(const NativePath& path) { unlink(path.c_str()); }

}  // namespace kestro
