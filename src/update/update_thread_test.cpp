#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "testing/fake_main_window.h"
#include "testing/gbk_literal.h"
#include "testing/loopback_server.h"
#include "testing/scratch_folder.h"
#include "testing/update_fakes.h"
#include "update/update_checker.h"

namespace kestro {
namespace {

using Names = std::vector<std::string>;

ScriptedResponse VersionFile(const std::string& body) {
  return {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body};
}

ScriptedResponse Executable(const std::string& program) {
  return {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(program.size()) + "\r\n\r\n" +
          program};
}

// Runs a hook while the question is open, as a user who takes their time.
class AnsweringWindow : public FakeMainWindow {
 public:
  int ShowMessage(BoxOwner owner, std::string_view text, std::string_view caption,
                  unsigned style) override {
    if (whileAsking) whileAsking();
    return FakeMainWindow::ShowMessage(owner, text, caption, style);
  }
  std::function<void()> whileAsking;
};

class UpdateThreadTest : public ::testing::Test {
 protected:
  // Runs the thread's body in place against a server with these responses;
  // returns the requests the server got.
  std::vector<std::string> Run(std::vector<ScriptedResponse> responses) {
    LoopbackServer server(std::move(responses));
    UpdateSettings settings;
    settings.host = "127.0.0.1";
    settings.port = server.port();
    settings.versionBodyTimeoutMs = 100;
    settings.streamTimeoutMs = 100;
    UpdateChecker checker({network_, files_, signing_, launcher_}, settings);
    EXPECT_EQ(UpdateThread(window_, checker), 0);
    EXPECT_EQ(checker.host(), "127.0.0.1");
    EXPECT_EQ(checker.directory(), "/soft/kestro/");
    EXPECT_EQ(checker.versionFileName(), "kestro.txt");
    EXPECT_EQ(checker.exeName(), "kestro.exe");
    return server.Finish();
  }

  const ShownMessage kQuestion{BoxOwner::MainWindow, "Zelmo按键有更新版本，您要更新吗！"_gbk,
                               "更新提示"_gbk, kBoxIconQuestion | kBoxYesNo};
  const std::string kProgram = Program("SIG:" + kOurPublisher + "\n", 4321);

  ScratchFolder folder_;
  SystemTcpConnector network_;
  SystemProgramFiles files_{folder_.path()};
  FakeCodeSigning signing_;
  RecordingLauncher launcher_;
  AnsweringWindow window_;
};

TEST_F(UpdateThreadTest, QuestionTextIsGbk) {
  EXPECT_EQ(kQuestion.caption, "\xB8\xFC\xD0\xC2\xCC\xE1\xCA\xBE");
  EXPECT_EQ(kQuestion.text.substr(0, 7), "Zelmo\xB0\xB4");
  EXPECT_EQ(kQuestion.style, 0x24u);
}

TEST_F(UpdateThreadTest, DifferentVersionIsDownloadedThenOfferedAndStartedOnYes) {
  window_.messageAnswer = kAnswerYes;
  // The question comes only once the program is stored whole.
  window_.whileAsking = [&] { EXPECT_EQ(folder_.Read("kestro.exe"), kProgram); };
  EXPECT_EQ(Run({VersionFile("qz33\r\n"), Executable(kProgram)}).size(), 2u);
  EXPECT_EQ(window_.messages, std::vector<ShownMessage>{kQuestion});
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{folder_.PathOf("kestro.exe")});
  EXPECT_EQ(folder_.Names(), Names{"kestro.exe"});
}

TEST_F(UpdateThreadTest, AnswerNoKeepsTheDownloadAndStartsNothing) {
  window_.messageAnswer = 7;  // IDNO
  Run({VersionFile("qz31"), Executable(kProgram)});
  EXPECT_EQ(window_.messages, std::vector<ShownMessage>{kQuestion});
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{});
  EXPECT_EQ(folder_.Read("kestro.exe"), kProgram);
}

TEST_F(UpdateThreadTest, SameVersionDownloadsNothing) {
  window_.messageAnswer = kAnswerYes;
  EXPECT_EQ(Run({VersionFile("qz32"), Executable(kProgram)}).size(), 1u);
  EXPECT_EQ(window_.messages, std::vector<ShownMessage>{});
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{});
  EXPECT_EQ(folder_.Names(), Names{});
}

// Nothing is asked, started or left behind whenever the download is not a
// complete program signed like the running one.
TEST_F(UpdateThreadTest, SilentOnEveryFailure) {
  struct Case {
    const char* what;
    std::vector<ScriptedResponse> responses;
    bool runningProgramSigned = true;
  } cases[] = {
      {
          "no version file",
          {{"HTTP/1.1 404 Not Found\r\n\r\n"}},
      },
      {
          "invalid version",
          {VersionFile("qz00")},
      },
      {
          "executable missing",
          {VersionFile("qz33"), {"HTTP/1.1 404 Not Found\r\n\r\n"}},
      },
      {
          "unsigned download",
          {VersionFile("qz33"), Executable(Program("MZ", 4321))},
      },
      {
          "someone else's download",
          {VersionFile("qz33"), Executable(Program("SIG:" + kOtherPublisher + "\n", 4321))},
      },
      {
          "altered download",
          {VersionFile("qz33"), Executable(Program("BAD:" + kOurPublisher + "\n", 4321))},
      },
      {"unsigned running program", {VersionFile("qz33"), Executable(kProgram)}, false},
      {"cut download",
       {VersionFile("qz33"),
        {"HTTP/1.1 200 OK\r\nContent-Length: 4321\r\n\r\n" + kProgram.substr(0, 4000)}}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    window_.messageAnswer = kAnswerYes;
    signing_.runningProgram = {
        c.runningProgramSigned ? SignatureState::Valid : SignatureState::Unsigned,
        c.runningProgramSigned ? kOurPublisher : ""};
    Run(std::move(c.responses));
    EXPECT_EQ(window_.messages, std::vector<ShownMessage>{});
    EXPECT_EQ(launcher_.started, std::vector<NativePath>{});
    EXPECT_EQ(folder_.Names(), Names{});
  }
}

TEST_F(UpdateThreadTest, ProgramChangedWhileAskingIsNotStarted) {
  window_.messageAnswer = kAnswerYes;
  window_.whileAsking = [&] {
    folder_.Write("kestro.exe", Program("SIG:" + kOtherPublisher + "\n", kProgram.size()));
  };
  Run({VersionFile("qz33"), Executable(kProgram)});
  EXPECT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{});
}

}  // namespace
}  // namespace kestro
