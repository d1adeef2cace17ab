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
  std::unique_ptr<UpdateChecker> MakeChecker(std::uint16_t port) {
    UpdateSettings settings;
    settings.host = "127.0.0.1";
    settings.port = port;
    settings.versionBodyTimeoutMs = 100;
    settings.streamTimeoutMs = 100;
    auto checker = std::make_unique<UpdateChecker>(
        UpdatePlatform{network_, files_, signing_, launcher_, processes_, clock_}, settings);
    EXPECT_TRUE(checker->SetServer("127.0.0.1", "/soft/kestro/", "kestro.txt", "kestro.exe"));
    return checker;
  }

  // The name the download takes while it is kept (this process is 4242).
  const std::string kDownload = "~kestro-update-4242-0.tmp";

  ScratchFolder folder_;
  SystemTcpConnector network_;
  SystemProgramFiles files_{folder_.path()};
  FakeCodeSigning signing_;
  RecordingLauncher launcher_;
  FakeProcesses processes_;
  SystemClock clock_;
};

TEST_F(UpdateCheckerTest, SetServerTakesTextsOfAtMost255Bytes) {
  auto checker = MakeChecker(80);
  EXPECT_EQ(checker->host(), "127.0.0.1");
  EXPECT_EQ(checker->directory(), "/soft/kestro/");
  EXPECT_EQ(checker->versionFileName(), "kestro.txt");
  EXPECT_EQ(checker->exeName(), "kestro.exe");

  std::string longest(255, 'a');
  EXPECT_TRUE(checker->SetServer(longest, "/", "v", "e"));
  EXPECT_EQ(checker->host(), longest);
  EXPECT_FALSE(checker->SetServer(longest + "a", "/d/", "x.txt", "x.exe"));
  EXPECT_FALSE(checker->SetServer("h", "/d/", "x.txt", longest + "a"));
  EXPECT_EQ(checker->host(), longest);
  EXPECT_EQ(checker->directory(), "/");
}

TEST_F(UpdateCheckerTest, FieldsStartAtZero) {
  auto checker = MakeChecker(80);
  EXPECT_EQ(checker->markerFound(), 0);
  EXPECT_EQ(checker->remoteVersion(), 0);
  EXPECT_EQ(checker->announcedLength(), 0u);
  EXPECT_EQ(checker->CompareVersion(kBuiltInVersion), VersionInvalid);
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
    auto checker = MakeChecker(server.port());
    checker->FetchVersion();
    EXPECT_EQ(checker->markerFound(), c.marker);
    EXPECT_EQ(checker->remoteVersion(), c.version);
    EXPECT_EQ(checker->CompareVersion(kBuiltInVersion), c.comparison);
    EXPECT_EQ(checker->announcedLength(), 0u);
    EXPECT_EQ(server.Finish(), Requests{kVersionRequest});
    EXPECT_EQ(folder_.Names(), Names{});
  }
}

// A server that sends nothing (or part) of the version file within its
// time limit leaves zeros.
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
    auto checker = MakeChecker(server.port());
    checker->FetchVersion();
    EXPECT_EQ(checker->markerFound(), c.marker);
    EXPECT_EQ(checker->remoteVersion(), 0);
    EXPECT_EQ(checker->CompareVersion(kBuiltInVersion), VersionInvalid);
    EXPECT_EQ(server.Finish().size(), 1u);
  }
}

TEST_F(UpdateCheckerTest, MarkerOnceFoundStays) {
  LoopbackServer server({VersionFile("qz33"), VersionFile("QZ34")});
  auto checker = MakeChecker(server.port());
  checker->FetchVersion();
  checker->FetchVersion();
  EXPECT_EQ(checker->markerFound(), 1);
  EXPECT_EQ(checker->remoteVersion(), 34);
  EXPECT_EQ(server.Finish().size(), 2u);
}

TEST_F(UpdateCheckerTest, RefusedConnectionChangesNothing) {
  auto checker = MakeChecker(ClosedLoopbackPort());
  checker->FetchVersion();
  EXPECT_EQ(checker->markerFound(), 0);
  EXPECT_EQ(checker->remoteVersion(), 0);
  EXPECT_EQ(checker->DownloadUpdate(), 0);
  EXPECT_EQ(folder_.Names(), Names{});
}

TEST_F(UpdateCheckerTest, NoDownloadWithoutAValidVersionFile) {
  LoopbackServer server({VersionFile("qz00"), Executable(Program("SIG:" + kOurPublisher, 100))});
  auto checker = MakeChecker(server.port());
  checker->FetchVersion();
  EXPECT_EQ(checker->DownloadUpdate(), 0);
  EXPECT_EQ(server.Finish(), Requests{kVersionRequest});
  EXPECT_EQ(folder_.Names(), Names{});
}

// The complete, trusted program is kept under a temporary name of this
// process; nothing else in the folder changes before the user's answer.
TEST_F(UpdateCheckerTest, DownloadKeepsTheWholeProgramBesideAnExistingOne) {
  folder_.Write("kestro.exe", kOldProgram);
  // Several chunks of 1024 bytes and a last, shorter one.
  std::string program = Program("SIG:" + kOurPublisher + "\n", 5000);
  LoopbackServer server({VersionFile("qz33"), Executable(program)});
  auto checker = MakeChecker(server.port());
  checker->FetchVersion();
  EXPECT_EQ(checker->DownloadUpdate(), 1);
  EXPECT_EQ(checker->announcedLength(), 5000u);
  EXPECT_EQ(server.Finish(), (Requests{kVersionRequest, kExecutableRequest}));
  EXPECT_EQ(folder_.Names(), (Names{"kestro.exe", kDownload}));
  EXPECT_EQ(folder_.Read(kDownload), program);
  EXPECT_EQ(folder_.Read("kestro.exe"), kOldProgram);
  EXPECT_EQ(signing_.inspected, std::vector<NativePath>{folder_.PathOf(kDownload)});
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
      {"above the ceiling",
       {"HTTP/1.1 200 OK\r\nContent-Length: 67108865\r\n\r\n" + program},
       67108865},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    folder_.Write("kestro.exe", kOldProgram);
    LoopbackServer server({VersionFile("qz33"), c.response});
    auto checker = MakeChecker(server.port());
    checker->FetchVersion();
    EXPECT_EQ(checker->DownloadUpdate(), 0);
    EXPECT_EQ(checker->announcedLength(), c.announced);
    EXPECT_EQ(server.Finish(), (Requests{kVersionRequest, kExecutableRequest}));
    EXPECT_EQ(folder_.Names(), Names{"kestro.exe"});
    EXPECT_EQ(folder_.Read("kestro.exe"), kOldProgram);
  }
}

TEST_F(UpdateCheckerTest, FailedDownloadWithoutAnExistingProgramLeavesAnEmptyFolder) {
  std::string program = Program("SIG:" + kOurPublisher + "\n", 3000);
  LoopbackServer server(
      {VersionFile("qz33"),
       {"HTTP/1.1 200 OK\r\nContent-Length: 3000\r\n\r\n" + program.substr(0, 1500)}});
  auto checker = MakeChecker(server.port());
  checker->FetchVersion();
  EXPECT_EQ(checker->DownloadUpdate(), 0);
  EXPECT_EQ(folder_.Names(), Names{});
}

// The executable's request must fit its 256 bytes; one that does not is
// never sent, while the version file's (512 bytes) still is.
TEST_F(UpdateCheckerTest, RequestTooLongIsNotSent) {
  std::string directory = "/" + std::string(120, 'd') + "/";
  LoopbackServer server({VersionFile("qz33"), Executable(Program("SIG:" + kOurPublisher, 10))});
  auto checker = MakeChecker(server.port());
  ASSERT_TRUE(checker->SetServer("127.0.0.1", directory, "kestro.txt", "kestro.exe"));
  checker->FetchVersion();
  EXPECT_EQ(checker->remoteVersion(), 33);
  EXPECT_EQ(checker->DownloadUpdate(), 0);
  Requests requests = server.Finish();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_TRUE(requests[0].starts_with("GET " + directory + "kestro.txt HTTP/1.1\r\n"));
  EXPECT_EQ(folder_.Names(), Names{});
}

// The swap itself is tested in update_install_test.cpp and, with the
// question, in update_thread_test.cpp.
class LaunchUpdateTest : public UpdateCheckerTest {
 protected:
  std::string program_ = Program("SIG:" + kOurPublisher + "\n", 2000);
};

// A download that completes after the program began to end is not kept.
TEST_F(LaunchUpdateTest, NothingIsKeptOnceTheProgramEnds) {
  LoopbackServer server({VersionFile("qz33"), Executable(program_)});
  auto checker = MakeChecker(server.port());
  checker->FetchVersion();
  checker->AbandonUpdate();
  EXPECT_EQ(checker->DownloadUpdate(), 0);
  EXPECT_EQ(folder_.Names(), Names{});
}

TEST_F(LaunchUpdateTest, NothingStartsWithoutACompletedDownload) {
  // A program of the announced size is already there, but this download
  // did not complete, so it was never verified.
  folder_.Write("kestro.exe", program_);
  LoopbackServer server(
      {VersionFile("qz33"),
       {"HTTP/1.1 200 OK\r\nContent-Length: 2000\r\n\r\n" + program_.substr(0, 99)}});
  auto checker = MakeChecker(server.port());
  checker->FetchVersion();
  EXPECT_EQ(checker->DownloadUpdate(), 0);
  EXPECT_EQ(checker->announcedLength(), 2000u);
  EXPECT_EQ(checker->LaunchUpdate().result, LaunchResult::NothingPending);
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{});
  EXPECT_EQ(MakeChecker(80)->LaunchUpdate().result, LaunchResult::NothingPending);
}

// In virtual time, against a server that sends one byte at a time.
class SlowServerTest : public ::testing::Test {
 protected:
  std::unique_ptr<UpdateChecker> MakeChecker(std::vector<TricklingNetwork::Response> responses,
                                             std::uint32_t overallDeadlineMs = 5 * 60 * 1000) {
    network_ = std::make_unique<TricklingNetwork>(clock_, std::move(responses));
    UpdateSettings settings;
    settings.host = "update.example";
    settings.overallDeadlineMs = overallDeadlineMs;
    auto checker = std::make_unique<UpdateChecker>(
        UpdatePlatform{*network_, files_, signing_, launcher_, processes_, clock_}, settings);
    EXPECT_TRUE(checker->SetServer("update.example", "/soft/kestro/", "kestro.txt", "kestro.exe"));
    return checker;
  }

  ScratchFolder folder_;
  FakeClock clock_;
  std::unique_ptr<TricklingNetwork> network_;
  SystemProgramFiles files_{folder_.path()};
  FakeCodeSigning signing_;
  RecordingLauncher launcher_;
  FakeProcesses processes_;
};

// Each byte comes within the 30 s limit of its receive, so only the overall
// deadline ends a download that would take more than an hour.
TEST_F(SlowServerTest, ByteEvery29SecondsEndsAtTheOverallDeadline) {
  std::string program = Program("SIG:" + kOurPublisher + "\n", 100);
  std::vector<TricklingNetwork::Response> responses = {
      {"HTTP/1.1 200 OK\r\n\r\nqz33", 0},
      {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n" + program, 29000}};

  auto checker = MakeChecker(responses);
  std::int64_t start = clock_.now;
  checker->FetchVersion();
  EXPECT_EQ(checker->DownloadUpdate(), 0);
  EXPECT_LE(clock_.now - start, std::int64_t{checker->settings().overallDeadlineMs});
  EXPECT_LT(network_->delivered[1], responses[1].bytes.size());
  EXPECT_EQ(folder_.Names(), Names{});

  // The same server, given all the time it needs.
  auto patient = MakeChecker(responses, 24 * 60 * 60 * 1000);
  patient->FetchVersion();
  EXPECT_EQ(patient->DownloadUpdate(), 1);
  EXPECT_EQ(network_->delivered[1], responses[1].bytes.size());
}

// The version file may come in pieces: each is read until its four bytes
// are in, within the one time limit of the body.
TEST_F(SlowServerTest, VersionFileInPieces) {
  struct Case {
    const char* what;
    std::int64_t trickleMs;
    int version;
  } cases[] = {
      {"a byte at a time", 1, 33},
      {"bytes 3 s apart: the fourth due after the 10 s limit", 3000, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto checker = MakeChecker({{"HTTP/1.1 200 OK\r\n\r\nqz33\r\n", c.trickleMs}});
    checker->FetchVersion();
    EXPECT_EQ(checker->markerFound(), 1);
    EXPECT_EQ(checker->remoteVersion(), c.version);
  }
}

// An announcement above 64 MiB is refused before a body byte is read;
// exactly 64 MiB is accepted and read.
TEST_F(SlowServerTest, AnnouncedLengthCeiling) {
  struct Case {
    const char* what;
    std::string length;
    std::size_t bodyBytesRead;
  } cases[] = {
      {"4,000,000,000 bytes", "4000000000", 0},
      {"64 MiB and one byte", "67108865", 0},
      {"64 MiB", "67108864", 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string header = "HTTP/1.1 200 OK\r\nContent-Length: " + c.length + "\r\n\r\n";
    auto checker = MakeChecker({{"HTTP/1.1 200 OK\r\n\r\nqz33"}, {header + std::string(10, 'x')}});
    checker->FetchVersion();
    EXPECT_EQ(checker->DownloadUpdate(), 0);
    EXPECT_EQ(std::to_string(checker->announcedLength()), c.length);
    ASSERT_EQ(network_->delivered.size(), 2u);
    EXPECT_EQ(network_->delivered[1], header.size() + c.bodyBytesRead);
    EXPECT_EQ(folder_.Names(), Names{});
  }
}

}  // namespace
}  // namespace kestro
