// The files the update writes and moves in the running program's folder: a
// download filled chunk by chunk, the program renamed aside, the download
// held open from its check until the program in it has started, and what an
// earlier update left behind. Moves never replace a file, so a step that
// fails leaves both names as they were.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/native_path.h"

namespace kestro {

// A file open for writing; destroying it closes the file.
class FileWriter {
 public:
  virtual ~FileWriter() = default;
  // Appends the bytes at the end of the file; false when not all were written.
  virtual bool Append(std::string_view bytes) = 0;
};

// A file held open from its check to the start of the program in it: while
// it is held nobody else may write, rename or delete it, so what starts is
// what was checked. Destroying it lets go.
class HeldFile {
 public:
  virtual ~HeldFile() = default;
  // Where the file is now.
  virtual const NativePath& path() const = 0;
  virtual std::optional<std::uint64_t> Size() = 0;
  // Renames the held file to `to`, which must not exist; false on failure,
  // which leaves it where it was.
  virtual bool MoveTo(const NativePath& to) = 0;
  // The system's handle of the open file (a Windows HANDLE), for the
  // signature check; nullptr where there is none.
  virtual void* SystemHandle() const { return nullptr; }
};

class ProgramFiles {
 public:
  virtual ~ProgramFiles() = default;

  // Full path of the named file in the running program's folder; empty when
  // that folder is unknown.
  virtual NativePath PathBesideProgram(std::string_view asciiName) = 0;
  // Names of the files in the program's folder that are pure ASCII (every
  // name the update makes is); others are left out.
  virtual std::vector<std::string> NamesBesideProgram() = 0;
  // Creates the file, which must not exist yet, and opens it for writing;
  // nullptr when it exists or cannot be created.
  virtual std::unique_ptr<FileWriter> CreateNew(const NativePath& path) = 0;
  // True when a file of that name exists, whether or not it can be opened.
  virtual bool Exists(const NativePath& path) = 0;
  // Size of the file in bytes; nullopt when it cannot be opened.
  virtual std::optional<std::uint64_t> FileSize(const NativePath& path) = 0;
  // Renames `from` to `to`, which must not exist; false on failure, which
  // leaves both names as they were. A running program's file may be renamed.
  virtual bool Move(const NativePath& from, const NativePath& to) = 0;
  // Deletes the file, but only a plain file that is what its name says: a
  // name that leads elsewhere (a link) is left alone, and so is its target.
  // Nothing happens when it does not exist or is in use.
  virtual void Remove(const NativePath& path) = 0;
  // Opens the file to hold it (see HeldFile); nullptr when it cannot be.
  virtual std::unique_ptr<HeldFile> Hold(const NativePath& path) = 0;
  // The file the running program was started from, whatever its name.
  virtual NativePath RunningProgramPath() = 0;
};

// The real files. An empty folder means the running program's folder; tests
// give a scratch folder instead.
class SystemProgramFiles final : public ProgramFiles {
 public:
  explicit SystemProgramFiles(NativePath folder = {});

  NativePath PathBesideProgram(std::string_view asciiName) override;
  std::vector<std::string> NamesBesideProgram() override;
  std::unique_ptr<FileWriter> CreateNew(const NativePath& path) override;
  bool Exists(const NativePath& path) override;
  std::optional<std::uint64_t> FileSize(const NativePath& path) override;
  bool Move(const NativePath& from, const NativePath& to) override;
  void Remove(const NativePath& path) override;
  std::unique_ptr<HeldFile> Hold(const NativePath& path) override;
  NativePath RunningProgramPath() override;

 private:
  // The folder without a trailing separator; empty when unknown.
  NativePath Folder() const;

  NativePath folder_;
};

}  // namespace kestro
