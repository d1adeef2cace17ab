// The one conversion the core needs out of GBK: the UTF-16 units of a text,
// which a "输入文字" line types one by one. Windows converts with code
// page 936, POSIX with iconv's GBK.
#pragma once

#include <string>
#include <string_view>

#include "platform/native_path.h"

namespace kestro {

// Bytes GBK has no character for become U+FFFD.
std::u16string Utf16FromGbk(std::string_view gbk);

// A path as a GBK text to show; characters GBK has not become '?'.
std::string GbkForDisplay(const NativePath& path);

}  // namespace kestro
