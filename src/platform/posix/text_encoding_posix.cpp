#include <iconv.h>

#include "platform/text_encoding.h"

namespace kestro {

std::u16string Utf16FromGbk(std::string_view gbk) {
  thread_local iconv_t converter = iconv_open("UTF-16LE", "GBK");
  std::u16string units;
  if (converter == reinterpret_cast<iconv_t>(-1)) return units;
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(gbk.data());
  std::size_t inLeft = gbk.size();
  while (inLeft > 0) {
    char out[4];
    char* outPos = out;
    std::size_t outLeft = sizeof out;
    std::size_t done = iconv(converter, &in, &inLeft, &outPos, &outLeft);
    for (char* p = out; p + 1 < outPos; p += 2) {
      units += static_cast<char16_t>(static_cast<unsigned char>(p[0]) |
                                     static_cast<unsigned char>(p[1]) << 8);
    }
    if (done != static_cast<std::size_t>(-1) || outPos != out) continue;
    // A byte with no character: the replacement character, and on.
    units += u'\uFFFD';
    ++in;
    --inLeft;
  }
  return units;
}

// POSIX paths are bytes already; shown as they are.
std::string GbkForDisplay(const NativePath& path) { return path; }

}  // namespace kestro
