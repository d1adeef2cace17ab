#include "text/gbk.h"

#include <gtest/gtest.h>

#include "testing/gbk_literal.h"
#include "testing/hex.h"

namespace kestro {
namespace {

TEST(CutGbkTest, NeverEndsInsideATwoByteCharacter) {
  struct Case {
    std::string text;
    std::size_t limit;
    std::string cut;
  } cases[] = {
      {"ab", 5, "ab"},           {"执行"_gbk, 4, "执行"_gbk},
      {"执行"_gbk, 3, "执"_gbk}, {"a执行"_gbk, 4, "a执"_gbk},
      {"a执行"_gbk, 2, "a"},     {"执行"_gbk, 0, ""},
      {"\xB5", 1, ""},           {"", 3, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Hex(c.text));
    EXPECT_EQ(CutGbk(c.text, c.limit), c.cut);
  }
}

}  // namespace
}  // namespace kestro
