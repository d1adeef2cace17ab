#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/text_encoding.h"
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
    if (whileAsking && (style & kBoxYesNo) != 0) whileAsking();
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
    UpdateChecker checker({network_, files_, signing_, launcher_, processes_, clock_}, settings);
    EXPECT_EQ(UpdateThread(window_, checker), 0);
    return server.Finish();
  }

  const ShownMessage kQuestion{BoxOwner::MainWindow, "Zelmo按键有更新版本，您要更新吗！"_gbk,
                               "更新提示"_gbk, kBoxIconQuestion | kBoxYesNo};
  const ShownMessage kFailure{BoxOwner::MainWindow, "更新失败，请稍后再试。"_gbk, "更新提示"_gbk,
                              kBoxIconWarning | kBoxOk};
  const std::string kProgram = Program("SIG:" + kOurPublisher + "\n", 4321);
  const std::string kRunning = "the running program";
  const std::string kDownload = "~kestro-update-4242-0.tmp";

  ScratchFolder folder_;
  SystemTcpConnector network_;
  FaultyProgramFiles files_{folder_.path()};
  FakeCodeSigning signing_;
  RecordingLauncher launcher_;
  FakeProcesses processes_;
  SystemClock clock_;
  AnsweringWindow window_;
};

TEST_F(UpdateThreadTest, TextsAreGbk) {
  EXPECT_EQ(kQuestion.caption, "\xB8\xFC\xD0\xC2\xCC\xE1\xCA\xBE");
  EXPECT_EQ(kQuestion.text.substr(0, 7), "Zelmo\xB0\xB4");
  EXPECT_EQ(kQuestion.style, 0x24u);
  EXPECT_EQ(kFailure.text,
            "\xB8\xFC\xD0\xC2\xCA\xA7\xB0\xDC\xA3\xAC\xC7\xEB\xC9\xD4\xBA\xF3"
            "\xD4\xD9\xCA\xD4\xA1\xA3");
  EXPECT_EQ(kFailure.style, 0x30u);
}

// The whole course: the download waits beside the program while the
// question is open, then takes the running program's place, the new
// program starts knowing whom it replaces, and this one closes.
TEST_F(UpdateThreadTest, YesSwapsTheProgramStartsTheNewOneAndCloses) {
  folder_.Write("kestro.exe", kRunning);
  files_.runningProgram = folder_.PathOf("kestro.exe");
  window_.messageAnswer = kAnswerYes;
  window_.whileAsking = [&] {
    EXPECT_EQ(folder_.Names(), (Names{"kestro.exe", kDownload}));
    EXPECT_EQ(folder_.Read("kestro.exe"), kRunning);
    EXPECT_EQ(folder_.Read(kDownload), kProgram);
  };
  EXPECT_EQ(Run({VersionFile("qz33\r\n"), Executable(kProgram)}).size(), 2u);
  EXPECT_EQ(window_.messages, std::vector<ShownMessage>{kQuestion});
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{folder_.PathOf("kestro.exe")});
  EXPECT_EQ(launcher_.arguments, Names{"--replaces=4242"});
  EXPECT_EQ(window_.closeRequests, 1);
  EXPECT_EQ(folder_.Names(), (Names{"kestro.exe", "~kestro-replaced-4242-0.old"}));
  EXPECT_EQ(folder_.Read("kestro.exe"), kProgram);
  EXPECT_EQ(folder_.Read("~kestro-replaced-4242-0.old"), kRunning);
}

// A program renamed by its user replaces itself, under its own name; a
// kestro.exe beside it is someone else's and stays as it is.
TEST_F(UpdateThreadTest, ARenamedProgramReplacesItselfAndNothingElse) {
  folder_.Write("zelmo.exe", kRunning);
  folder_.Write("kestro.exe", "another program");
  files_.runningProgram = folder_.PathOf("zelmo.exe");
  window_.messageAnswer = kAnswerYes;
  Run({VersionFile("qz33"), Executable(kProgram)});
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{folder_.PathOf("zelmo.exe")});
  EXPECT_EQ(folder_.Names(), (Names{"kestro.exe", "zelmo.exe", "~kestro-replaced-4242-0.old"}));
  EXPECT_EQ(folder_.Read("zelmo.exe"), kProgram);
  EXPECT_EQ(folder_.Read("kestro.exe"), "another program");
}

// When the program's own file cannot even go back under its name, the
// failure box says where it lies, so the user can find it.
TEST_F(UpdateThreadTest, AFailedPutBackSaysWhereTheProgramLies) {
  folder_.Write("kestro.exe", kRunning);
  files_.runningProgram = folder_.PathOf("kestro.exe");
  const NativePath aside = folder_.PathOf("~kestro-replaced-4242-0.old");
  files_.failMove = [&](const NativePath& from, const NativePath&) {
    return from == folder_.PathOf(kDownload) || from == aside;
  };
  window_.messageAnswer = kAnswerYes;
  Run({VersionFile("qz33"), Executable(kProgram)});
  ShownMessage failure = kFailure;
  failure.text += "\n原来的程序现在在："_gbk + GbkForDisplay(aside);
  EXPECT_EQ(window_.messages, (std::vector<ShownMessage>{kQuestion, failure}));
  EXPECT_EQ(folder_.Names(), Names{"~kestro-replaced-4242-0.old"});
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{});
}

// No leaves the folder exactly as it was: an existing kestro.exe is not
// replaced by the download.
TEST_F(UpdateThreadTest, NoLeavesTheFolderAsItWas) {
  folder_.Write("kestro.exe", kRunning);
  window_.messageAnswer = 7;  // IDNO
  Run({VersionFile("qz31"), Executable(kProgram)});
  EXPECT_EQ(window_.messages, std::vector<ShownMessage>{kQuestion});
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{});
  EXPECT_EQ(window_.closeRequests, 0);
  EXPECT_EQ(folder_.Names(), Names{"kestro.exe"});
  EXPECT_EQ(folder_.Read("kestro.exe"), kRunning);
}

TEST_F(UpdateThreadTest, SameVersionDownloadsNothing) {
  window_.messageAnswer = kAnswerYes;
  EXPECT_EQ(Run({VersionFile("qz32"), Executable(kProgram)}).size(), 1u);
  EXPECT_EQ(window_.messages, std::vector<ShownMessage>{});
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{});
  EXPECT_EQ(folder_.Names(), Names{});
}

// An unsigned program could trust no download: it does not even connect.
TEST_F(UpdateThreadTest, UnsignedProgramMakesNoConnection) {
  for (SignatureState state : {SignatureState::Unsigned, SignatureState::Invalid}) {
    signing_.runningProgram = {state, ""};
    window_.messageAnswer = kAnswerYes;
    EXPECT_EQ(Run({VersionFile("qz33"), Executable(kProgram)}), Names{});
    EXPECT_EQ(window_.messages, std::vector<ShownMessage>{});
    EXPECT_EQ(folder_.Names(), Names{});
  }
}

// Nothing is asked, started or left behind whenever the download is not a
// complete program signed like the running one.
TEST_F(UpdateThreadTest, SilentOnEveryFailureBeforeTheQuestion) {
  struct Case {
    const char* what;
    std::vector<ScriptedResponse> responses;
  } cases[] = {
      {"no version file", {{"HTTP/1.1 404 Not Found\r\n\r\n"}}},
      {"invalid version", {VersionFile("qz00")}},
      {"executable missing", {VersionFile("qz33"), {"HTTP/1.1 404 Not Found\r\n\r\n"}}},
      {"unsigned download", {VersionFile("qz33"), Executable(Program("MZ", 4321))}},
      {"someone else's download",
       {VersionFile("qz33"), Executable(Program("SIG:" + kOtherPublisher + "\n", 4321))}},
      {"altered download",
       {VersionFile("qz33"), Executable(Program("BAD:" + kOurPublisher + "\n", 4321))}},
      {"cut download",
       {VersionFile("qz33"),
        {"HTTP/1.1 200 OK\r\nContent-Length: 4321\r\n\r\n" + kProgram.substr(0, 4000)}}},
      {"announced above the ceiling",
       {VersionFile("qz33"), {"HTTP/1.1 200 OK\r\nContent-Length: 4000000000\r\n\r\nMZ"}}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    window_.messageAnswer = kAnswerYes;
    Run(std::move(c.responses));
    EXPECT_EQ(window_.messages, std::vector<ShownMessage>{});
    EXPECT_EQ(launcher_.started, std::vector<NativePath>{});
    EXPECT_EQ(folder_.Names(), Names{});
  }
}

// A failed swap (here: the download was altered while the question was
// open) is undone and reported once; the program runs on.
TEST_F(UpdateThreadTest, FailedSwapIsUndoneAndReportedOnce) {
  folder_.Write("kestro.exe", kRunning);
  files_.runningProgram = folder_.PathOf("kestro.exe");
  window_.messageAnswer = kAnswerYes;
  window_.whileAsking = [&] {
    folder_.Write(kDownload, Program("SIG:" + kOtherPublisher + "\n", kProgram.size()));
  };
  Run({VersionFile("qz33"), Executable(kProgram)});
  EXPECT_EQ(window_.messages, (std::vector<ShownMessage>{kQuestion, kFailure}));
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{});
  EXPECT_EQ(window_.closeRequests, 0);
  EXPECT_EQ(folder_.Names(), Names{"kestro.exe"});
  EXPECT_EQ(folder_.Read("kestro.exe"), kRunning);
}

// The program ends while the question is open: as no, even if the box is
// answered yes on its way out.
TEST_F(UpdateThreadTest, EndingWhileAskingIsLikeNo) {
  folder_.Write("kestro.exe", kRunning);
  window_.messageAnswer = kAnswerYes;
  UpdateChecker* running = nullptr;
  window_.whileAsking = [&] { running->AbandonUpdate(); };
  LoopbackServer server({VersionFile("qz33"), Executable(kProgram)});
  UpdateSettings settings;
  settings.host = "127.0.0.1";
  settings.port = server.port();
  UpdateChecker checker({network_, files_, signing_, launcher_, processes_, clock_}, settings);
  running = &checker;
  UpdateThread(window_, checker);
  EXPECT_EQ(window_.messages, std::vector<ShownMessage>{kQuestion});
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{});
  EXPECT_EQ(folder_.Names(), Names{"kestro.exe"});
}

TEST_F(UpdateThreadTest, LeftoversGoFirstEvenInAnUnsignedProgram) {
  signing_.runningProgram = {SignatureState::Unsigned, ""};
  folder_.Write("kestro.exe", kRunning);
  folder_.Write("~kestro-replaced-91-0.old", "old program");
  folder_.Write("~kestro-update-91-0.tmp", "half a download");
  Run({});
  EXPECT_EQ(folder_.Names(), Names{"kestro.exe"});
}

}  // namespace
}  // namespace kestro
