#include "text/gbk.h"

namespace kestro {

std::string_view CutGbk(std::string_view text, std::size_t limit) {
  std::size_t end = 0;
  while (end < text.size()) {
    std::size_t width = static_cast<unsigned char>(text[end]) >= 0x81 ? 2 : 1;
    if (end + width > limit) break;
    end += width;
  }
  return text.substr(0, end);
}

}  // namespace kestro
