#include "text/decimal.h"

#include <algorithm>
#include <climits>

#include "text/gbk.h"

namespace kestro {
namespace {

constexpr std::int64_t kReadingCeiling = std::int64_t{1} << 53;

}  // namespace

std::int64_t DecimalReading(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::size_t pos = 0;
  while (pos < text.size() && IsSpaceByte(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  std::int64_t value = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    value = std::min(value * 10 + (text[pos] - '0'), kReadingCeiling);
  }
  return negative ? -value : value;
}

int DecimalReadingInt(std::string_view text) {
  return static_cast<int>(std::clamp<std::int64_t>(DecimalReading(text), INT_MIN, INT_MAX));
}

}  // namespace kestro
