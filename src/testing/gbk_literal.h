// Test-only: GBK bytes from readable text, so a test writes a script line
// as "单击鼠标:左键;"_gbk. The program never converts at run time; its texts
// come from text/system_texts.h.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestro {

// The GBK (code page 936) bytes of a UTF-8 text; aborts on a character GBK
// cannot hold, so a typo cannot pass unseen.
std::string GbkFromUtf8(std::string_view utf8);

inline std::string operator""_gbk(const char* text, std::size_t size) {
  return GbkFromUtf8(std::string_view(text, size));
}

}  // namespace kestro
