// The system implementations of the update check's seams, on the platform
// the tests run on (natively, and as Windows programs under Wine).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/code_signing.h"
#include "platform/executable_path.h"
#include "platform/processes.h"
#include "platform/program_files.h"
#include "platform/tcp_connection.h"
#include "testing/ended_process.h"
#include "testing/loopback_server.h"
#include "testing/scratch_folder.h"

namespace kestro {
namespace {

using Names = std::vector<std::string>;

TEST(UpdatePlatformTest, ProgramFolderHoldsTheRunningProgram) {
  SystemProgramFiles files;
  EXPECT_TRUE(files.FileSize(files.PathBesideProgram("kestro_tests")) ||
              files.FileSize(files.PathBesideProgram("kestro_tests.exe")));
}

TEST(UpdatePlatformTest, NewFilesNeverOpenAnExistingOne) {
  ScratchFolder folder;
  SystemProgramFiles files(folder.path());
  NativePath path = files.PathBesideProgram("~kestro-update-1-0.tmp");
  auto writer = files.CreateNew(path);
  ASSERT_TRUE(writer);
  EXPECT_EQ(files.CreateNew(path), nullptr);
  EXPECT_TRUE(writer->Append("abc"));
  EXPECT_TRUE(writer->Append(std::string("\0\r\n", 3)));
  writer.reset();
  EXPECT_EQ(files.FileSize(path), 6u);
  EXPECT_TRUE(files.Exists(path));
  files.Remove(path);
  EXPECT_EQ(files.FileSize(path), std::nullopt);
  EXPECT_FALSE(files.Exists(path));
}

TEST(UpdatePlatformTest, MoveNeverReplaces) {
  ScratchFolder folder;
  SystemProgramFiles files(folder.path());
  folder.Write("kestro.exe", "old");
  folder.Write("new.tmp", "new program");
  EXPECT_FALSE(files.Move(folder.PathOf("new.tmp"), folder.PathOf("kestro.exe")));
  EXPECT_EQ(folder.Read("kestro.exe"), "old");
  EXPECT_TRUE(files.Move(folder.PathOf("kestro.exe"), folder.PathOf("aside.old")));
  EXPECT_TRUE(files.Move(folder.PathOf("new.tmp"), folder.PathOf("kestro.exe")));
  EXPECT_EQ(folder.Names(), (Names{"aside.old", "kestro.exe"}));
  EXPECT_EQ(folder.Read("kestro.exe"), "new program");
  // A source that is gone changes nothing.
  EXPECT_FALSE(files.Move(folder.PathOf("new.tmp"), folder.PathOf("other.exe")));
  EXPECT_EQ(folder.Names(), (Names{"aside.old", "kestro.exe"}));
}

TEST(UpdatePlatformTest, NamesAreTheFolderFilesWithAsciiNames) {
  ScratchFolder folder;
  SystemProgramFiles files(folder.path());
  folder.Write("kestro.exe", "x");
  folder.Write("~kestro-update-7-0.tmp", "x");
  std::filesystem::create_directory(std::filesystem::path(folder.path()) / "sub");
  std::filesystem::path wide =
      std::filesystem::path(folder.path()) / std::filesystem::path(u8"宏 テスト.txt");
  std::ofstream(wide) << "x";
  std::vector<std::string> names = files.NamesBesideProgram();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Names{"kestro.exe", "~kestro-update-7-0.tmp"}));
}

// A held file moves under its hold, never over another file, and is the
// running program's own where the update puts it.
TEST(UpdatePlatformTest, AHeldFileMovesThroughItsHold) {
  ScratchFolder folder;
  SystemProgramFiles files(folder.path());
  EXPECT_EQ(files.RunningProgramPath(), ExecutablePath());
  EXPECT_EQ(files.Hold(folder.PathOf("missing.tmp")), nullptr);
  folder.Write("new.tmp", "12345");
  folder.Write("kestro.exe", "x");
  std::unique_ptr<HeldFile> held = files.Hold(folder.PathOf("new.tmp"));
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(held->Size(), 5u);
  EXPECT_FALSE(held->MoveTo(folder.PathOf("kestro.exe")));
  EXPECT_TRUE(held->MoveTo(folder.PathOf("renamed.exe")));
  EXPECT_EQ(held->path(), folder.PathOf("renamed.exe"));
  held.reset();
  EXPECT_EQ(folder.Names(), (Names{"kestro.exe", "renamed.exe"}));
  EXPECT_EQ(folder.Read("renamed.exe"), "12345");
}

TEST(UpdatePlatformTest, ProcessesRunUntilTheyEnd) {
  SystemProcesses processes;
  ProcessId self = processes.CurrentProcessId();
  EXPECT_TRUE(processes.IsRunning(self));
  EXPECT_FALSE(processes.WaitForExit(self, 50));
  ProcessId gone = EndedProcessId();
  ASSERT_NE(gone, 0u);
  EXPECT_FALSE(processes.IsRunning(gone));
  EXPECT_TRUE(processes.WaitForExit(gone, 10000));
  // Neither this process nor one that ended started it.
  EXPECT_FALSE(processes.IsParentProcess(self));
  EXPECT_FALSE(processes.IsParentProcess(gone));
}

TEST(UpdatePlatformTest, NoFilesInAFolderThatIsGone) {
  NativePath gone;
  {
    ScratchFolder folder;
    gone = folder.path();
  }
  SystemProgramFiles files(gone);
  EXPECT_EQ(files.CreateNew(files.PathBesideProgram("a.tmp")), nullptr);
  EXPECT_EQ(files.FileSize(files.PathBesideProgram("kestro.exe")), std::nullopt);
  EXPECT_EQ(files.NamesBesideProgram(), Names{});
}

// The test program itself is not signed, and neither is a text file.
TEST(UpdatePlatformTest, UnsignedFilesReadAsUnsigned) {
  SystemCodeSigning signing;
  EXPECT_EQ(signing.RunningProgramSignature(), CodeSignature{});
  ScratchFolder folder;
  folder.Write("kestro.exe", "MZ not really a program");
  EXPECT_NE(signing.FileSignature(folder.PathOf("kestro.exe")).state, SignatureState::Valid);
}

TEST(UpdatePlatformTest, ConnectionGetsWhatTheServerSent) {
  LoopbackServer server({{"HTTP/1.1 200 OK\r\n\r\nbody"}});
  SystemTcpConnector network;
  auto connection = network.Open();
  ASSERT_TRUE(connection);
  ASSERT_TRUE(connection->Connect("127.0.0.1", server.port()));
  connection->SetReceiveTimeout(5000);
  connection->Send("GET / HTTP/1.1\r\n\r\n");
  std::string received;
  char buffer[7];
  while (std::size_t count = connection->Receive(buffer, sizeof buffer))
    received.append(buffer, count);
  EXPECT_EQ(received, "HTTP/1.1 200 OK\r\n\r\nbody");
  connection.reset();
  EXPECT_EQ(server.Finish(), Names{"GET / HTTP/1.1\r\n\r\n"});
}

// The end-to-end tests tell a refused body by how the client closes: with
// bytes unread the connection is reset.
TEST(UpdatePlatformTest, ServerSeesAClientCloseWithBytesUnread) {
  // The first response stays open: a shutdown of the server's own would
  // race with the client's reset, and Wine may then report a clean end.
  // The second stays open too but is read whole: no reset.
  LoopbackServer server({{"HTTP/1.1 200 OK\r\n\r\nunread body", /*stall=*/true},
                         {"all read", /*stall=*/true},
                         {"read"}});
  SystemTcpConnector network;
  for (std::size_t wanted : {std::size_t{19}, std::size_t{8}, std::size_t{4}}) {
    auto connection = network.Open();
    ASSERT_TRUE(connection && connection->Connect("127.0.0.1", server.port()));
    connection->SetReceiveTimeout(5000);
    connection->Send("GET / HTTP/1.1\r\n\r\n");
    std::string received;
    char byte = 0;
    while (received.size() < wanted && connection->Receive(&byte, 1) == 1) received += byte;
    ASSERT_EQ(received.size(), wanted);
    // The last connection reads to the end before it closes.
    if (wanted == 4) {
      EXPECT_EQ(connection->Receive(&byte, 1), 0u);
    }
  }
  EXPECT_EQ(server.Finish().size(), 3u);
  EXPECT_EQ(server.UnreadCloseCount(), 1u);
}

TEST(UpdatePlatformTest, RefusedConnection) {
  SystemTcpConnector network;
  auto connection = network.Open();
  ASSERT_TRUE(connection);
  EXPECT_FALSE(connection->Connect("127.0.0.1", ClosedLoopbackPort()));
}

}  // namespace
}  // namespace kestro
