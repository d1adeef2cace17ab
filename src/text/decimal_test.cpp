#include "text/decimal.h"

#include <gtest/gtest.h>

#include <string>

namespace kestro {
namespace {

using namespace std::string_literals;

TEST(DecimalTest, ReadsLikeAtoiWithoutOverflow) {
  struct Case {
    std::string text;
    std::int64_t value;
  } cases[] = {
      {"", 0},
      {"32", 32},
      {"  7", 7},
      {"\t\r\n+8", 8},
      {"-5", -5},
      {"5x", 5},
      {"x5", 0},
      {"3 3", 3},
      {"+", 0},
      {"- 5", 0},
      {"12\0 34"s, 12},
      {"\0"
       "12"s,
       0},
      {"007", 7},
      {"4294967296", 4294967296},
      {std::string(40, '9'), std::int64_t{1} << 53},
      {"-" + std::string(40, '9'), -(std::int64_t{1} << 53)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(DecimalReading(c.text), c.value);
  }
}

TEST(DecimalTest, IntReadingSaturates) {
  struct Case {
    std::string_view text;
    int value;
  } cases[] = {
      {"3", 3},
      {" 2", 2},
      {"\n\t-7x", -7},
      {"+0", 0},
      {"", 0},
      {"-", 0},
      {"abc", 0},
      {"2147483647", 2147483647},
      {"99999999999", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"-99999999999999999999", -2147483647 - 1},
      {"1 2", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(DecimalReadingInt(c.text), c.value);
  }
}

}  // namespace
}  // namespace kestro
