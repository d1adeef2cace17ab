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

std::string RunningProgramFolder() { return ExecutablePath().parent_path().string(); }

}  // namespace

SystemProgramFiles::SystemProgramFiles(std::string folder) : folder_(std::move(folder)) {}

std::string SystemProgramFiles::Folder() const {
  return folder_.empty() ? RunningProgramFolder() : folder_;
}

std::string SystemProgramFiles::PathBesideProgram(std::string_view name) {
  std::string folder = Folder();
  if (folder.empty()) return {};
  return folder + "/" + std::string(name);
}

std::unique_ptr<FileWriter> SystemProgramFiles::CreateTemporaryBesideProgram(std::string& path) {
  std::string folder = Folder();
  if (folder.empty()) return nullptr;
  std::string pattern = folder + "/~kestro-update-XXXXXX.tmp";
  int file = mkostemps(pattern.data(), 4, O_CLOEXEC);
  if (file < 0) return nullptr;
  path = pattern;
  return std::make_unique<PosixFileWriter>(file);
}

std::optional<std::uint64_t> SystemProgramFiles::FileSize(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(status.st_size);
}

bool SystemProgramFiles::MoveReplacing(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) == 0;
}

void SystemProgramFiles::Remove(const std::string& path) { unlink(path.c_str()); }

}  // namespace kestro
