// The update check of a program built to ask a loopback server: a newer
// version is downloaded but, unsigned, never offered or kept; the same
// version is not downloaded at all.
#include <gtest/gtest.h>

#include "kestro_process.h"
#include "testing/loopback_server.h"

namespace kestro::e2e {
namespace {

constexpr std::uint16_t kPort = KESTRO_LOOPBACK_UPDATE_PORT;

std::string Request(const std::string& file) {
  return "GET /soft/kestro/" + file +
         " HTTP/1.1\r\nHost:127.0.0.1\r\nAccept:*/*\r\nUser-Agent:Mozilla/4.0 (compatible; MSIE "
         "5.00; Windows 98)\r\nConnection:Keep-Alive\r\n\r\n";
}

std::vector<std::wstring> FolderNames(const std::filesystem::path& folder) {
  std::vector<std::wstring> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().wstring());
  }
  return names;
}

// The program must not be called kestro.exe here: that is the name the
// download would take beside it.
constexpr wchar_t kProgramName[] = L"kestro-under-test.exe";

TEST(UpdateTest, AnUnsignedNewVersionIsDownloadedButNeitherOfferedNorKept) {
  std::string program = "MZ" + std::string(3000, 'x');
  LoopbackServer server({{"HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nqz33"},
                         {"HTTP/1.1 200 OK\r\nContent-Length: 3002\r\n\r\n" + program}},
                        kPort);
  ASSERT_EQ(server.port(), kPort);
  KestroProcess kestro(kProgramName, L"kestro_loopback_update.exe");
  ASSERT_NE(kestro.WaitForMainWindow(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return server.RequestCount() == 2; }, 10000));
  std::vector<std::string> requests = server.Finish();
  EXPECT_EQ(requests, (std::vector<std::string>{Request("kestro.txt"), Request("kestro.exe")}));

  // The download is complete but carries no signature: it is removed and
  // nothing is asked.
  EXPECT_TRUE(WaitUntil(
      [&] { return FolderNames(kestro.folder()) == std::vector<std::wstring>{kProgramName}; }));
  Sleep(500);
  EXPECT_TRUE(kestro.WaitForBox(L"更新提示", 500).window == nullptr);
  EXPECT_EQ(FolderNames(kestro.folder()), std::vector<std::wstring>{kProgramName});
}

TEST(UpdateTest, TheSameVersionIsNotDownloaded) {
  LoopbackServer server(
      {{"HTTP/1.1 200 OK\r\n\r\nqz32\r\n"}, {"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nMZ"}},
      kPort);
  KestroProcess kestro(kProgramName, L"kestro_loopback_update.exe");
  ASSERT_NE(kestro.WaitForMainWindow(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return server.RequestCount() == 1; }, 10000));
  Sleep(1500);
  EXPECT_EQ(server.RequestCount(), 1u);
  EXPECT_EQ(FolderNames(kestro.folder()), std::vector<std::wstring>{kProgramName});
}

}  // namespace
}  // namespace kestro::e2e
