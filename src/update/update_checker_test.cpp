#include "update/update_checker.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "testing/loopback_server.h"
#include "testing/scratch_folder.h"
#include "testing/update_fakes.h"

namespace kestro {
namespace {

using Names = std::vector<std::string>;
using Requests = std::vector<std::string>;

const std::string kVersionRequest =
    "GET /soft/kestro/kestro.txt HTTP/1.1\r\n"
    "Host:127.0.0.1\r\n"
    "Accept:*/*\r\n"
    "User-Agent:Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
    "Connection:Keep-Alive\r\n"
    "\r\n";
const std::string kExecutableRequest =
    "GET /soft/kestro/kestro.exe HTTP/1.1\r\n"
    "Host:127.0.0.1\r\n"
    "Accept:*/*\r\n"
    "User-Agent:Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
    "Connection:Keep-Alive\r\n"
    "\r\n";

const std::string kOldProgram = "the program that was there before";

ScriptedResponse VersionFile(const std::string& body) {
  return {"HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
          std::to_string(body.size()) + "\r\n\r\n" + body};
}

ScriptedResponse Executable(const std::string& program) {
  return {"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
          std::to_string(program.size()) + "\r\n\r\n" + program};
}

// A header padded with a filler line to `size` bytes before its last line.
std::string PaddedHeader(const std::string& statusLine, std::size_t size,
                         const std::string& lastLines = "\r\n") {
  std::string header = statusLine + "X-Filler: ";
  std::size_t fill = size - header.size() - 2 - lastLines.size();
  return header + std::string(fill, 'x') + "\r\n" + lastLines;
}

// 1024 header bytes whose last 14 are the name "Content-Length".
std::string HeaderEndingInTheName() {
  std::string start = "HTTP/1.1 200 OK\r\nX-Filler: ";
  std::string end = "\r\nContent-Length";
  return start + std::string(1024 - start.size() - end.size(), 'x') + end;
}

class UpdateCheckerTest : public ::testing::Test {
 protected:
  // Time limits short enough that waiting for a stalled server costs little;
  // the tests never measure them.
  UpdateChecker MakeChecker(std::uint16_t port) {
    UpdateSettings settings;
    settings.host = "127.0.0.1";
    settings.port = port;
    settings.versionBodyTimeoutMs = 100;
    settings.streamTimeoutMs = 100;
    UpdateChecker checker({network_, files_, signing_, launcher_}, settings);
    EXPECT_TRUE(checker.SetServer("127.0.0.1", "/soft/kestro/", "kestro.txt", "kestro.exe"));
    return checker;
  }

  ScratchFolder folder_;
  SystemTcpConnector network_;
  SystemProgramFiles files_{folder_.path()};
  FakeCodeSigning signing_;
  RecordingLauncher launcher_;
};

TEST_F(UpdateCheckerTest, SetServerTakesTextsOfAtMost255Bytes) {
  UpdateChecker checker = MakeChecker(80);
  EXPECT_EQ(checker.host(), "127.0.0.1");
  EXPECT_EQ(checker.directory(), "/soft/kestro/");
  EXPECT_EQ(checker.versionFileName(), "kestro.txt");
  EXPECT_EQ(checker.exeName(), "kestro.exe");

  std::string longest(255, 'a');
  EXPECT_TRUE(checker.SetServer(longest, "/", "v", "e"));
  EXPECT_EQ(checker.host(), longest);
  EXPECT_FALSE(checker.SetServer(longest + "a", "/d/", "x.txt", "x.exe"));
  EXPECT_FALSE(checker.SetServer("h", "/d/", "x.txt", longest + "a"));
  EXPECT_EQ(checker.host(), longest);
  EXPECT_EQ(checker.directory(), "/");
}

TEST_F(UpdateCheckerTest, FieldsStartAtZero) {
  UpdateChecker checker = MakeChecker(80);
  EXPECT_EQ(checker.markerFound(), 0);
  EXPECT_EQ(checker.remoteVersion(), 0);
  EXPECT_EQ(checker.announcedLength(), 0u);
  EXPECT_EQ(checker.CompareVersion(kBuiltInVersion), VersionInvalid);
}

TEST_F(UpdateCheckerTest, VersionFiles) {
  struct Case {
    const char* what;
    ScriptedResponse response;
    int marker;
    std::int32_t version;
    VersionComparison comparison;
  } cases[] = {
      {"same version", VersionFile("qz32"), 1, 32, VersionSame},
      {"newer version", VersionFile("qz33"), 1, 33, VersionDifferent},
      {"older version", VersionFile("qz31"), 1, 31, VersionDifferent},
      {"zero digits", VersionFile("qz00"), 1, 0, VersionInvalid},
      {"two non-digits", VersionFile("qzab"), 1, 0, VersionInvalid},
      {"marker in other case", VersionFile("QZ33"), 0, 33, VersionInvalid},
      {"byte-order mark", VersionFile("\xEF\xBB\xBFqz33"), 0, 0, VersionInvalid},
      {"single digit", VersionFile("qz5"), 1, 5, VersionDifferent},
      {"bytes after the fourth", VersionFile("qz33\r\nqz99 and more text"), 1, 33,
       VersionDifferent},
      {"status ignored: HTTP/1.0", {"HTTP/1.0 200 OK\r\n\r\nqz33"}, 1, 33, VersionDifferent},
      {"status ignored: 500 with a version body",
       {"HTTP/1.1 500 Oops\r\n\r\nqz34"},
       1,
       34,
       VersionDifferent},
      {"not found",
       {"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nNot Found"},
       0,
       0,
       VersionInvalid},
      {"redirection is not followed",
       {"HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1/other/kestro.txt\r\n"
        "Content-Length: 5\r\n\r\nMoved"},
       0,
       0,
       VersionInvalid},
      {"chunked coding",
       {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nqz33\r\n0\r\n\r\n"},
       0,
       0,
       VersionInvalid},
      // The read stops after 1024 header bytes, so the body is taken from
      // inside the rest of the header although a valid file follows it.
      {"header over 1024 bytes",
       {PaddedHeader("HTTP/1.1 200 OK\r\n", 1100) + "qz33"},
       0,
       0,
       VersionInvalid},
      // Cut after exactly 1024 bytes, the next four bytes are read as the file.
      {"header cut at 1024 bytes",
       {PaddedHeader("HTTP/1.1 200 OK\r\n", 1024, "") + "qz34\r\n\r\nqz33"},
       1,
       34,
       VersionDifferent},
      {"header of exactly 1024 bytes",
       {PaddedHeader("HTTP/1.1 200 OK\r\n", 1024) + "qz33"},
       1,
       33,
       VersionDifferent},
      {"closed before any byte", {""}, 0, 0, VersionInvalid},
      {"closed inside the header", {"HTTP/1.1 200 OK\r\nContent-Le"}, 0, 0, VersionInvalid},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LoopbackServer server({c.response});
    UpdateChecker checker = MakeChecker(server.port());
    checker.FetchVersion();
    EXPECT_EQ(checker.markerFound(), c.marker);
    EXPECT_EQ(checker.remoteVersion(), c.version);
    EXPECT_EQ(checker.CompareVersion(kBuiltInVersion), c.comparison);
    EXPECT_EQ(checker.announcedLength(), 0u);
    EXPECT_EQ(server.Finish(), Requests{kVersionRequest});
    EXPECT_EQ(folder_.Names(), Names{});
  }
}

// The version file's bytes must come with the one receive; a server that
// sends nothing (or part) within the time limit leaves zeros.
TEST_F(UpdateCheckerTest, VersionBodyThatNeverComes) {
  struct Case {
    const char* what;
    std::string bytes;
    int marker;
  } cases[] = {
      {"no body", "HTTP/1.1 200 OK\r\n\r\n", 0},
      {"marker only", "HTTP/1.1 200 OK\r\n\r\nqz", 1},
      {"header never ends", "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LoopbackServer server({{c.bytes, /*stall=*/true}});
    UpdateChecker checker = MakeChecker(server.port());
    checker.FetchVersion();
    EXPECT_EQ(checker.markerFound(), c.marker);
    EXPECT_EQ(checker.remoteVersion(), 0);
    EXPECT_EQ(checker.CompareVersion(kBuiltInVersion), VersionInvalid);
    EXPECT_EQ(server.Finish().size(), 1u);
  }
}

TEST_F(UpdateCheckerTest, MarkerOnceFoundStays) {
  LoopbackServer server({VersionFile("qz33"), VersionFile("QZ34")});
  UpdateChecker checker = MakeChecker(server.port());
  checker.FetchVersion();
  checker.FetchVersion();
  EXPECT_EQ(checker.markerFound(), 1);
  EXPECT_EQ(checker.remoteVersion(), 34);
  EXPECT_EQ(server.Finish().size(), 2u);
}

TEST_F(UpdateCheckerTest, RefusedConnectionChangesNothing) {
  UpdateChecker checker = MakeChecker(ClosedLoopbackPort());
  checker.FetchVersion();
  EXPECT_EQ(checker.markerFound(), 0);
  EXPECT_EQ(checker.remoteVersion(), 0);
  EXPECT_EQ(checker.DownloadUpdate(), 0);
  EXPECT_EQ(folder_.Names(), Names{});
}

TEST_F(UpdateCheckerTest, NoDownloadWithoutAValidVersionFile) {
  LoopbackServer server({VersionFile("qz00"), Executable(Program("SIG:" + kOurPublisher, 100))});
  UpdateChecker checker = MakeChecker(server.port());
  checker.FetchVersion();
  EXPECT_EQ(checker.DownloadUpdate(), 0);
  EXPECT_EQ(server.Finish(), Requests{kVersionRequest});
  EXPECT_EQ(folder_.Names(), Names{});
}

TEST_F(UpdateCheckerTest, DownloadStoresTheWholeProgram) {
  // Several chunks of 1024 bytes and a last, shorter one.
  std::string program = Program("SIG:" + kOurPublisher + "\n", 5000);
  LoopbackServer server({VersionFile("qz33"), Executable(program)});
  UpdateChecker checker = MakeChecker(server.port());
  checker.FetchVersion();
  EXPECT_EQ(checker.DownloadUpdate(), 1);
  EXPECT_EQ(checker.announcedLength(), 5000u);
  EXPECT_EQ(server.Finish(), (Requests{kVersionRequest, kExecutableRequest}));
  EXPECT_EQ(folder_.Names(), Names{"kestro.exe"});
  EXPECT_EQ(folder_.Read("kestro.exe"), program);
  // The signature was checked on the complete file before it took the name.
  ASSERT_EQ(signing_.inspected.size(), 1u);
  EXPECT_NE(signing_.inspected[0], folder_.PathOf("kestro.exe"));
}

// Every way the executable's response can fail: the result is 0, nothing is
// left in the folder but the program that was there before, unchanged.
TEST_F(UpdateCheckerTest, FailedDownloadsLeaveNothingBehind) {
  const std::string program = Program("SIG:" + kOurPublisher + "\n", 3000);
  const std::string size = std::to_string(program.size());
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: " + size + "\r\n\r\n";
  struct Case {
    const char* what;
    ScriptedResponse response;
    std::uint32_t announced;
  } cases[] = {
      {"not found", {"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nNot Found"}, 0},
      {"redirection",
       {"HTTP/1.1 301 Moved Permanently\r\nLocation: http://127.0.0.1/x.exe\r\n"
        "Content-Length: " +
        size + "\r\n\r\n" + program},
       0},
      {"other letter case",
       {"HTTP/1.1 200 OK\r\ncontent-length: " + size + "\r\n\r\n" + program},
       0},
      {"blank before the colon",
       {"HTTP/1.1 200 OK\r\nContent-Length : " + size + "\r\n\r\n" + program},
       0},
      {"chunked coding",
       {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nbb8\r\n" + program + "\r\n0\r\n\r\n"},
       0},
      {"length zero", {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"}, 0},
      {"length beyond the 1024-byte header",
       {PaddedHeader("HTTP/1.1 200 OK\r\n", 1100, "Content-Length: " + size + "\r\n\r\n") +
        program},
       0},
      // The name ends exactly at the 1024th byte: its value lies beyond.
      {"header cut right after the name",
       {HeaderEndingInTheName() + ": " + size + "\r\n\r\n" + program},
       0},
      {"value text of 256 bytes",
       {"HTTP/1.1 200 OK\r\nContent-Length:" + std::string(252, ' ') + size + "\r\n\r\n" + program},
       0},
      // A reading cut to 32 bits would give 3000 and pass.
      {"value above 32 bits",
       {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string((1ull << 32) + 3000) + "\r\n\r\n" +
        program},
       0},
      {"closed early", {head + program.substr(0, 2000)}, 3000},
      {"closed inside the first chunk", {head + program.substr(0, 10)}, 3000},
      {"more bytes than announced", {head + program + "trailing junk"}, 3000},
      {"more bytes than announced, then silence", {head + program + "junk", true}, 3000},
      {"stalls inside the body", {head + program.substr(0, 2500), true}, 3000},
      {"stalls inside the header", {"HTTP/1.1 200 OK\r\nContent-Length: " + size, true}, 3000},
      {"unsigned", Executable(Program("MZ plain", 3000)), 3000},
      {"signed by someone else", Executable(Program("SIG:" + kOtherPublisher + "\n", 3000)), 3000},
      {"altered after signing", Executable(Program("BAD:" + kOurPublisher + "\n", 3000)), 3000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    folder_.Write("kestro.exe", kOldProgram);
    LoopbackServer server({VersionFile("qz33"), c.response});
    UpdateChecker checker = MakeChecker(server.port());
    checker.FetchVersion();
    EXPECT_EQ(checker.DownloadUpdate(), 0);
    EXPECT_EQ(checker.announcedLength(), c.announced);
    EXPECT_EQ(server.Finish(), (Requests{kVersionRequest, kExecutableRequest}));
    EXPECT_EQ(folder_.Names(), Names{"kestro.exe"});
    EXPECT_EQ(folder_.Read("kestro.exe"), kOldProgram);
  }
}

TEST_F(UpdateCheckerTest, CompleteDownloadReplacesAnExistingProgram) {
  folder_.Write("kestro.exe", kOldProgram);
  std::string program = Program("SIG:" + kOurPublisher + "\n", 1024);
  LoopbackServer server({VersionFile("qz31"), Executable(program)});
  UpdateChecker checker = MakeChecker(server.port());
  checker.FetchVersion();
  EXPECT_EQ(checker.DownloadUpdate(), 1);
  EXPECT_EQ(folder_.Names(), Names{"kestro.exe"});
  EXPECT_EQ(folder_.Read("kestro.exe"), program);
}

TEST_F(UpdateCheckerTest, FailedDownloadWithoutAnExistingProgramLeavesAnEmptyFolder) {
  std::string program = Program("SIG:" + kOurPublisher + "\n", 3000);
  LoopbackServer server(
      {VersionFile("qz33"),
       {"HTTP/1.1 200 OK\r\nContent-Length: 3000\r\n\r\n" + program.substr(0, 1500)}});
  UpdateChecker checker = MakeChecker(server.port());
  checker.FetchVersion();
  EXPECT_EQ(checker.DownloadUpdate(), 0);
  EXPECT_EQ(folder_.Names(), Names{});
}

// The executable's request must fit its 256 bytes; one that does not is
// never sent, while the version file's (512 bytes) still is.
TEST_F(UpdateCheckerTest, RequestTooLongIsNotSent) {
  std::string directory = "/" + std::string(120, 'd') + "/";
  LoopbackServer server({VersionFile("qz33"), Executable(Program("SIG:" + kOurPublisher, 10))});
  UpdateChecker checker = MakeChecker(server.port());
  ASSERT_TRUE(checker.SetServer("127.0.0.1", directory, "kestro.txt", "kestro.exe"));
  checker.FetchVersion();
  EXPECT_EQ(checker.remoteVersion(), 33);
  EXPECT_EQ(checker.DownloadUpdate(), 0);
  Requests requests = server.Finish();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(requests[0].starts_with("GET " + directory + "kestro.txt HTTP/1.1\r\n"));
  EXPECT_EQ(folder_.Names(), Names{});
}

class LaunchUpdateTest : public UpdateCheckerTest {
 protected:
  // Downloads a trusted program of 2000 bytes; the checker is then ready
  // to launch it.
  UpdateChecker Downloaded() {
    LoopbackServer server({VersionFile("qz33"), Executable(program_)});
    UpdateChecker checker = MakeChecker(server.port());
    checker.FetchVersion();
    EXPECT_EQ(checker.DownloadUpdate(), 1);
    return checker;
  }

  std::string program_ = Program("SIG:" + kOurPublisher + "\n", 2000);
};

TEST_F(LaunchUpdateTest, StartsTheStoredProgram) {
  UpdateChecker checker = Downloaded();
  checker.LaunchUpdate();
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{folder_.PathOf("kestro.exe")});
}

TEST_F(LaunchUpdateTest, NothingStartsWhenTheFileChanged) {
  struct Case {
    const char* what;
    std::optional<std::string> replacement;  // nullopt: deleted
  } cases[] = {
      {"deleted", std::nullopt},
      {"shorter", program_.substr(0, 1999)},
      {"longer", program_ + "x"},
      {"same size, someone else's", Program("SIG:" + kOtherPublisher + "\n", 2000)},
      {"same size, altered", Program("BAD:" + kOurPublisher + "\n", 2000)},
      {"same size, unsigned", Program("MZ", 2000)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UpdateChecker checker = Downloaded();
    files_.Remove(folder_.PathOf("kestro.exe"));
    if (c.replacement) folder_.Write("kestro.exe", *c.replacement);
    checker.LaunchUpdate();
    EXPECT_EQ(launcher_.started, std::vector<NativePath>{});
  }
}

TEST_F(LaunchUpdateTest, NothingStartsWithoutACompletedDownload) {
  // A program of the announced size is already there, but this download
  // did not complete, so it was never verified.
  folder_.Write("kestro.exe", program_);
  LoopbackServer server(
      {VersionFile("qz33"),
       {"HTTP/1.1 200 OK\r\nContent-Length: 2000\r\n\r\n" + program_.substr(0, 99)}});
  UpdateChecker checker = MakeChecker(server.port());
  checker.FetchVersion();
  EXPECT_EQ(checker.DownloadUpdate(), 0);
  EXPECT_EQ(checker.announcedLength(), 2000u);
  checker.LaunchUpdate();
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{});

  UpdateChecker fresh = MakeChecker(80);
  fresh.LaunchUpdate();
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{});
}

}  // namespace
}  // namespace kestro
