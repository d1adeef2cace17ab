#include "text/ini_profile.h"

#include <gtest/gtest.h>

#include "text/ini_profile_test_cases.h"

namespace kestro {
namespace {

using namespace ini_cases;

TEST(IniProfileTest, ReadsEveryTableTextAsTheProfileFunctionsDo) {
  for (const ReadCase& c : ReadCases()) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(IniReadInt(c.file, c.section, c.key, kFallback), c.expected);
  }
}

TEST(IniProfileTest, WritesEveryTableSequenceAsTheProfileFunctionsDo) {
  for (const WriteCase& c : WriteCases()) {
    SCOPED_TRACE(c.what);
    std::string file = c.file;
    for (const Assignment& a : c.writes) file = IniWriteString(file, a.section, a.key, a.value);
    EXPECT_EQ(file, c.expected);
  }
}

TEST(IniProfileTest, WrittenValuesReadBack) {
  for (const WriteCase& c : WriteCases()) {
    SCOPED_TRACE(c.what);
    std::string file = c.file;
    for (const Assignment& a : c.writes) file = IniWriteString(file, a.section, a.key, a.value);
    for (const Assignment& a : c.writes) {
      // The last write of a key wins; every table sequence writes a key once.
      EXPECT_EQ(IniReadInt(file, a.section, a.key, kFallback), std::stoi(a.value)) << a.key;
    }
  }
}

// In GBK a two-byte character may end in the byte of ']'; the platform
// reads the characters, so such a byte does not end a section name.
TEST(IniProfileTest, GbkCharacterEndingInBracketByteIsNoBracket) {
  std::string file = "[HotKey]\xB0\x5D\r\nVKRun=5\r\n";
  EXPECT_EQ(IniReadInt(file, "HotKey", "VKRun", kFallback), 5);
  EXPECT_EQ(IniWriteString(file, "HotKey", "CtrlRun", "2"), file + "CtrlRun=2\r\n");
  EXPECT_EQ(IniReadInt("[\xB0\x5D]\r\nVKRun=5\r\n", "\xB0\x5D", "VKRun", kFallback), 5);
}

TEST(IniProfileTest, SearchedNamesAreTrimmed) {
  EXPECT_EQ(IniReadInt("[HotKey]\r\nVKRun=5\r\n", " HotKey\t", " VKRun ", kFallback), 5);
  EXPECT_EQ(IniWriteString("", " HotKey ", " VKRun ", "5"), "[HotKey]\r\nVKRun=5\r\n");
}

TEST(IniProfileTest, UnchangedValueReturnsTheFileByteForByte) {
  // Also a UTF-16 file with a stray odd byte, which a rewrite would keep too.
  std::string file = Utf16("[HotKey]\r\nVKRun=7\r\n", true) + "\x01";
  EXPECT_EQ(IniWriteString(file, "HotKey", "VKRun", "7"), file);
  EXPECT_EQ(IniWriteString(file, "HotKey", "VKRun", "8"),
            Utf16("[HotKey]\r\nVKRun=8\r\n", true) + "\x01");
}

}  // namespace
}  // namespace kestro
