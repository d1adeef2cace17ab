// Byte strings as upper-case hex pairs, so tests can pin GBK bytes.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace kestro {

inline std::string Hex(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char pair[4];
    std::snprintf(pair, sizeof pair, out.empty() ? "%02X" : " %02X", c);
    out += pair;
  }
  return out;
}

}  // namespace kestro
