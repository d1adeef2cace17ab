#include "text/gbk.h"

#include <gtest/gtest.h>

#include "testing/hex.h"

namespace kestro {
namespace {

TEST(CutGbkTest, NeverEndsInsideATwoByteCharacter) {
  struct Case {
    std::string_view text;
    std::size_t limit;
    std::string_view cut;
  } cases[] = {
      {"ab", 5, "ab"},   {"执行", 4, "执行"}, {"执行", 3, "执"}, {"a执行", 4, "a执"},
      {"a执行", 2, "a"}, {"执行", 0, ""},     {"\xB5", 1, ""},   {"", 3, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Hex(c.text));
    EXPECT_EQ(CutGbk(c.text, c.limit), c.cut);
  }
}

}  // namespace
}  // namespace kestro
