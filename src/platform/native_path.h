// Paths in the operating system's own form: UTF-16 on Windows, so a folder of
// any name works, and bytes elsewhere. The core passes them on untouched and
// only ever appends ASCII names to them.
#pragma once

#include <string>
#include <string_view>

namespace kestro {

#ifdef _WIN32
using NativeChar = wchar_t;
inline constexpr NativeChar kPathSeparator = L'\\';
#else
using NativeChar = char;
inline constexpr NativeChar kPathSeparator = '/';
#endif
using NativePath = std::basic_string<NativeChar>;

// The path with an ASCII text appended, e.g. ".ini".
inline NativePath AppendAscii(NativePath path, std::string_view ascii) {
  for (char c : ascii) path.push_back(static_cast<NativeChar>(c));
  return path;
}

// The file of that ASCII name in the folder.
inline NativePath PathInFolder(NativePath folder, std::string_view asciiName) {
  folder.push_back(kPathSeparator);
  return AppendAscii(std::move(folder), asciiName);
}

}  // namespace kestro
