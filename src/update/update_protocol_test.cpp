#include "update/update_protocol.h"

#include <gtest/gtest.h>

#include <string>

namespace kestro {
namespace {

using namespace std::string_literals;

TEST(UpdateProtocolTest, RequestTextByteForByte) {
  EXPECT_EQ(ComposeRequest("/soft/kestro/", "kestro.txt", "www.zelmo.example", kVersionRequestRoom),
            "GET /soft/kestro/kestro.txt HTTP/1.1\r\n"
            "Host:www.zelmo.example\r\n"
            "Accept:*/*\r\n"
            "User-Agent:Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
            "Connection:Keep-Alive\r\n"
            "\r\n");
}

// The fixed part of the request is 119 bytes, so with "/soft/kestro/" and
// "kestro.exe" a host of 113 bytes is the longest whose request (and its
// terminating zero) fits the executable's 256 bytes.
TEST(UpdateProtocolTest, RequestMustFitItsRoom) {
  EXPECT_EQ(ComposeRequest("", "", "", 1000).size(), 119u);
  std::string host(113, 'h');
  EXPECT_EQ(ComposeRequest("/soft/kestro/", "kestro.exe", host, kExecutableRequestRoom).size(),
            255u);
  EXPECT_EQ(ComposeRequest("/soft/kestro/", "kestro.exe", host + "h", kExecutableRequestRoom), "");
  EXPECT_EQ(ComposeRequest("/soft/kestro/", "kestro.txt", host + "h", kVersionRequestRoom).size(),
            256u);
}

TEST(UpdateProtocolTest, HeaderEndsWithAnEmptyLine) {
  EXPECT_TRUE(HeaderComplete("HTTP/1.1 200 OK\r\n\r\n"));
  EXPECT_TRUE(HeaderComplete("\r\n\r\n"));
  EXPECT_FALSE(HeaderComplete("HTTP/1.1 200 OK\r\n"));
  EXPECT_FALSE(HeaderComplete("HTTP/1.1 200 OK\n\n"));
  EXPECT_FALSE(HeaderComplete("\r\n\r"));
}

TEST(UpdateProtocolTest, StatusIsBytesNineToEleven) {
  struct Case {
    std::string header;
    std::int64_t status;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\n\r\n", 200},
      {"HTTP/1.0 200 OK\r\n\r\n", 200},
      {"HTTP/1.1 404 Not Found\r\n", 404},
      {"HTTP/1.1 302 Found\r\n", 302},
      {"XXXXXXXXX200", 200},  // bytes 0 to 8 are not looked at
      {"HTTP/1.1 2000 Odd", 200},
      {"HTTP/1.1 20", 20},
      {"HTTP/1.1 ", 0},
      {"", 0},
      {"HTTP/1.1 2\0"
       "00"s,
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.header);
    EXPECT_EQ(ResponseStatus(c.header), c.status);
  }
}

TEST(UpdateProtocolTest, AnnouncedLength) {
  const std::string ok = "HTTP/1.1 200 OK\r\n";
  struct Case {
    const char* what;
    std::string header;
    std::uint32_t length;
  } cases[] = {
      {"no blank", ok + "Content-Length:1234\r\n\r\n", 1234},
      {"a blank", ok + "Content-Length: 1234\r\n\r\n", 1234},
      {"other letter case", ok + "content-length: 1234\r\n\r\n", 0},
      {"blank before the colon", ok + "Content-Length : 1234\r\n\r\n", 0},
      {"none", ok + "Transfer-Encoding: chunked\r\n\r\n", 0},
      {"zero", ok + "Content-Length: 0\r\n\r\n", 0},
      {"negative", ok + "Content-Length: -5\r\n\r\n", 0},
      {"trailing text", ok + "Content-Length: 12 bytes\r\n\r\n", 12},
      {"largest 32-bit value", ok + "Content-Length: 4294967295\r\n\r\n", 4294967295u},
      {"above 32 bits", ok + "Content-Length: 4294967301\r\n\r\n", 0},
      {"far above 32 bits", ok + "Content-Length: " + std::string(60, '9') + "\r\n\r\n", 0},
      {"first occurrence counts", ok + "X-Content-Length-Old: 3\r\nContent-Length: 5\r\n\r\n", 0},
      {"value up to the end of a cut header", ok + "Content-Length: 77", 77},
      {"header cut right after the name", ok + "Content-Length", 0},
      {"header cut after the colon", ok + "Content-Length:", 0},
      {"zero byte before the name", ok + "X: \0\r\nContent-Length: 5\r\n\r\n"s, 0},
      {"255-byte value text", ok + "Content-Length:" + std::string(250, ' ') + "00042\r\n", 42},
      {"256-byte value text", ok + "Content-Length:" + std::string(251, ' ') + "00042\r\n", 0},
      {"value text of 2000 bytes", ok + "Content-Length:" + std::string(2000, '0') + "5", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(AnnouncedLength(c.header), c.length);
  }
}

TEST(UpdateProtocolTest, VersionFile) {
  struct Case {
    std::string body;  // exactly four bytes, zero where nothing came
    bool marker;
    std::int32_t version;
  } cases[] = {
      {"qz32", true, 32},
      {"qz33", true, 33},
      {"qz31", true, 31},
      {"qz00", true, 0},
      {"qzab", true, 0},
      {"QZ33", false, 33},
      {"Qz33", false, 33},
      {"\xEF\xBB\xBFq", false, 0},  // UTF-8 byte-order mark
      {"qz5\0"s, true, 5},
      {"qz\0\0"s, true, 0},
      {"\0\0\0\0"s, false, 0},
      {"q\0"
       "33"s,
       false, 33},
      {"qz 7", true, 7},
      {"qz-1", true, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    ASSERT_EQ(c.body.size(), kVersionBodySize);
    char body[kVersionBodySize];
    c.body.copy(body, kVersionBodySize);
    VersionFile file = ReadVersionFile(body);
    EXPECT_EQ(file.markerFound, c.marker);
    EXPECT_EQ(file.version, c.version);
  }
}

}  // namespace
}  // namespace kestro
