// A fresh, empty folder for one test, removed with everything in it when the
// test ends, so a test can state exactly which files a download left.
#pragma once

#include <string>
#include <vector>

#include "platform/native_path.h"

namespace kestro {

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's path, in the form the program's file seams take.
  const NativePath& path() const { return path_; }
  // The full path of a file in the folder (an ASCII name).
  NativePath PathOf(const std::string& name) const;
  // Names of everything in the folder, sorted.
  std::vector<std::string> Names() const;
  // A file's bytes; "<missing>" when it does not exist.
  std::string Read(const std::string& name) const;
  void Write(const std::string& name, const std::string& bytes) const;

 private:
  NativePath path_;
};

}  // namespace kestro
