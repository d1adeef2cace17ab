#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

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

// POSIX has no share modes: the file is kept open, which is all the native
// tests need, and renamed by its path.
class PosixHeldFile final : public HeldFile {
 public:
  PosixHeldFile(int file, NativePath path) : file_(file), path_(std::move(path)) {}
  ~PosixHeldFile() override { close(file_); }
  PosixHeldFile(const PosixHeldFile&) = delete;
  PosixHeldFile& operator=(const PosixHeldFile&) = delete;

  const NativePath& path() const override { return path_; }
  std::optional<std::uint64_t> Size() override {
    struct stat status {};
    if (fstat(file_, &status) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(status.st_size);
  }
  bool MoveTo(const NativePath& to) override {
    if (renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
      return false;
    }
    path_ = to;
    return true;
  }

 private:
  int file_;
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
  DIR* directory = folder.empty() ? nullptr : opendir(folder.c_str());
  if (directory == nullptr) return names;
  while (dirent* entry = readdir(directory)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (std::any_of(name.begin(), name.end(), [](char c) { return (c & 0x80) != 0; })) continue;
    struct stat status {};
    if (fstatat(dirfd(directory), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISDIR(status.st_mode)) continue;
    names.push_back(std::move(name));
  }
  closedir(directory);
  return names;
}

std::unique_ptr<FileWriter> SystemProgramFiles::CreateNew(const NativePath& path) {
  int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (file < 0) return nullptr;
  return std::make_unique<PosixFileWriter>(file);
}

bool SystemProgramFiles::Exists(const NativePath& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0;
}

std::optional<std::uint64_t> SystemProgramFiles::FileSize(const NativePath& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(status.st_size);
}

// rename() would replace the target; RENAME_NOREPLACE refuses, and where the
// file system cannot do that, a hard link (which never replaces) then the
// removal of the old name does the same.
bool SystemProgramFiles::Move(const NativePath& from, const NativePath& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (link(from.c_str(), to.c_str()) != 0) return false;
  unlink(from.c_str());
  return true;
}

// unlink() removes a link itself, never its target; only a plain file is
// removed at all.
void SystemProgramFiles::Remove(const NativePath& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return;
  unlink(path.c_str());
}

std::unique_ptr<HeldFile> SystemProgramFiles::Hold(const NativePath& path) {
  int file = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (file < 0) return nullptr;
  return std::make_unique<PosixHeldFile>(file, path);
}

NativePath SystemProgramFiles::RunningProgramPath() { return ExecutablePath(); }

}  // namespace kestro
