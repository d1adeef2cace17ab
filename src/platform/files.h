// Whole files by path: the script files the user opens and saves, and the
// settings file where the system has no profile functions.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/native_path.h"

namespace kestro {

class Files {
 public:
  virtual ~Files() = default;

  // The file's bytes; nothing when it cannot be opened or read.
  virtual std::optional<std::string> ReadAll(const NativePath& path) = 0;
  // True when anything of that name exists, a file or a folder.
  virtual bool Exists(const NativePath& path) = 0;
  // Makes a new file holding the bytes. False when the name is taken or a
  // write fails; a failed write leaves no file behind.
  virtual bool CreateNew(const NativePath& path, std::string_view bytes) = 0;
  // Makes the file hold exactly the bytes, creating it when it is missing;
  // false on failure.
  virtual bool Replace(const NativePath& path, std::string_view bytes) = 0;
};

class SystemFiles final : public Files {
 public:
  std::optional<std::string> ReadAll(const NativePath& path) override;
  bool Exists(const NativePath& path) override;
  bool CreateNew(const NativePath& path, std::string_view bytes) override;
  bool Replace(const NativePath& path, std::string_view bytes) override;
};

}  // namespace kestro
