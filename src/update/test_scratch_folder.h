// A fresh, empty folder for one test, removed with everything in it when the
// test ends, so a test can state exactly which files a download left.
#pragma once

#include <string>
#include <vector>

namespace kestro {

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's path, in the form the program's file seam takes.
  const std::string& path() const { return path_; }
  // The full path of a file in the folder.
  std::string PathOf(const std::string& name) const;
  // Names of everything in the folder, sorted.
  std::vector<std::string> Names() const;
  // A file's bytes; "<missing>" when it does not exist.
  std::string Read(const std::string& name) const;
  void Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

}  // namespace kestro
