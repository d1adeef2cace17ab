// The files the update check writes beside the running program: a
// temporary file filled chunk by chunk, then moved over the target name.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/native_path.h"

namespace kestro {

// A file open for writing; destroying it closes the file.
class FileWriter {
 public:
  virtual ~FileWriter() = default;
  // Appends the bytes at the end of the file; false when not all were written.
  virtual bool Append(std::string_view bytes) = 0;
};

class ProgramFiles {
 public:
  virtual ~ProgramFiles() = default;

  // Full path of the named file in the running program's folder; empty when
  // that folder is unknown.
  virtual NativePath PathBesideProgram(std::string_view asciiName) = 0;
  // Creates a new, empty file under a name of its own in the program's folder
  // and opens it for writing; its full path goes to `path`. nullptr when no
  // file could be created.
  virtual std::unique_ptr<FileWriter> CreateTemporaryBesideProgram(NativePath& path) = 0;
  // Size of the file in bytes; nullopt when it cannot be opened.
  virtual std::optional<std::uint64_t> FileSize(const NativePath& path) = 0;
  // Renames `from` to `to`, replacing a file of that name; false on failure,
  // which leaves both files as they were.
  virtual bool MoveReplacing(const NativePath& from, const NativePath& to) = 0;
  // Deletes the file; nothing happens when it does not exist.
  virtual void Remove(const NativePath& path) = 0;
};

// The real files. An empty folder means the running program's folder; tests
// give a scratch folder instead.
class SystemProgramFiles final : public ProgramFiles {
 public:
  explicit SystemProgramFiles(NativePath folder = {});

  NativePath PathBesideProgram(std::string_view asciiName) override;
  std::unique_ptr<FileWriter> CreateTemporaryBesideProgram(NativePath& path) override;
  std::optional<std::uint64_t> FileSize(const NativePath& path) override;
  bool MoveReplacing(const NativePath& from, const NativePath& to) override;
  void Remove(const NativePath& path) override;

 private:
  // The folder without a trailing separator; empty when unknown.
  NativePath Folder() const;

  NativePath folder_;
};

}  // namespace kestro
