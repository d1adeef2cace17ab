#include <iconv.h>

#include <cstdlib>

#include "testing/gbk_literal.h"

namespace kestro {

std::string GbkFromUtf8(std::string_view utf8) {
  thread_local iconv_t converter = iconv_open("GBK", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) std::abort();
  std::string gbk(utf8.size() * 2 + 1, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* out = gbk.data();
  std::size_t outLeft = gbk.size();
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) std::abort();
  gbk.resize(gbk.size() - outLeft);
  return gbk;
}

}  // namespace kestro
