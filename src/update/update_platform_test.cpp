// The system implementations of the update check's seams, on the platform
// the tests run on (natively, and as Windows programs under Wine).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/code_signing.h"
#include "platform/program_files.h"
#include "platform/tcp_connection.h"
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

TEST(UpdatePlatformTest, TemporaryFilesAreNewAndSeparate) {
  ScratchFolder folder;
  SystemProgramFiles files(folder.path());
  NativePath first, second;
  auto firstWriter = files.CreateTemporaryBesideProgram(first);
  auto secondWriter = files.CreateTemporaryBesideProgram(second);
  ASSERT_TRUE(firstWriter && secondWriter);
  EXPECT_NE(first, second);
  EXPECT_EQ(folder.Names().size(), 2u);

  EXPECT_TRUE(firstWriter->Append("abc"));
  EXPECT_TRUE(firstWriter->Append(std::string("\0\r\n", 3)));
  firstWriter.reset();
  EXPECT_EQ(files.FileSize(first), 6u);
  secondWriter.reset();
  EXPECT_EQ(files.FileSize(second), 0u);
  files.Remove(second);
  EXPECT_EQ(files.FileSize(second), std::nullopt);
}

TEST(UpdatePlatformTest, MoveReplacesTheTarget) {
  ScratchFolder folder;
  SystemProgramFiles files(folder.path());
  folder.Write("kestro.exe", "old");
  NativePath temporary;
  files.CreateTemporaryBesideProgram(temporary)->Append("new program");
  EXPECT_TRUE(files.MoveReplacing(temporary, files.PathBesideProgram("kestro.exe")));
  EXPECT_EQ(folder.Names(), Names{"kestro.exe"});
  EXPECT_EQ(folder.Read("kestro.exe"), "new program");

  // A source that is gone changes nothing.
  EXPECT_FALSE(files.MoveReplacing(temporary, files.PathBesideProgram("kestro.exe")));
  EXPECT_EQ(folder.Read("kestro.exe"), "new program");
  files.Remove(temporary);
  EXPECT_EQ(folder.Names(), Names{"kestro.exe"});
}

TEST(UpdatePlatformTest, NoFilesInAFolderThatIsGone) {
  NativePath gone;
  {
    ScratchFolder folder;
    gone = folder.path();
  }
  SystemProgramFiles files(gone);
  NativePath temporary;
  EXPECT_EQ(files.CreateTemporaryBesideProgram(temporary), nullptr);
  EXPECT_EQ(files.FileSize(files.PathBesideProgram("kestro.exe")), std::nullopt);
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

TEST(UpdatePlatformTest, RefusedConnection) {
  SystemTcpConnector network;
  auto connection = network.Open();
  ASSERT_TRUE(connection);
  EXPECT_FALSE(connection->Connect("127.0.0.1", ClosedLoopbackPort()));
}

}  // namespace
}  // namespace kestro
