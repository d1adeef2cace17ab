#include "update/update_install.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "testing/scratch_folder.h"
#include "testing/update_fakes.h"

namespace kestro {
namespace {

using Names = std::vector<std::string>;
using Folder = std::map<std::string, std::string>;

TEST(UpdateNamesTest, LeftoverNamesCarryTheirOwner) {
  EXPECT_EQ(DownloadFileName(4242, 0), "~kestro-update-4242-0.tmp");
  EXPECT_EQ(AsideFileName(4294967295u, 12), "~kestro-replaced-4294967295-12.old");
  struct Case {
    const char* name;
    std::optional<ProcessId> owner;
  } cases[] = {
      {"~kestro-update-4242-0.tmp", 4242},
      {"~kestro-replaced-17-3.old", 17},
      {"~kestro-replaced-4294967295-0.old", 4294967295u},
      // Anything this program would not have written is not its own.
      {"~kestro-replaced-4294967296-0.old", std::nullopt},
      {"~kestro-update-0-0.tmp", std::nullopt},
      {"~kestro-update-042-0.tmp", std::nullopt},
      {"~kestro-update--42-0.tmp", std::nullopt},
      {"~kestro-update-42.tmp", std::nullopt},
      {"~kestro-update-42-.tmp", std::nullopt},
      {"~kestro-update-42-x.tmp", std::nullopt},
      {"~kestro-update-42-0.old", std::nullopt},
      {"~KESTRO-UPDATE-42-0.TMP", std::nullopt},
      {"~kestro-update-42-0.tmp.txt", std::nullopt},
      {"kestro.exe", std::nullopt},
      {"config.ini", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LeftoverOwner(c.name), c.owner);
  }
}

TEST(UpdateNamesTest, FreeNameSkipsNamesInUseInAnyLetterCase) {
  EXPECT_EQ(FreeName({}, DownloadFileName, 7), "~kestro-update-7-0.tmp");
  EXPECT_EQ(FreeName({"~kestro-update-7-0.tmp", "~KESTRO-UPDATE-7-1.TMP", "~kestro-update-8-2.tmp"},
                     DownloadFileName, 7),
            "~kestro-update-7-2.tmp");
}

TEST(UpdateNamesTest, RemoveLeftoversTakesOnlyOwnNamesOfEndedProcesses) {
  ScratchFolder folder;
  SystemProgramFiles files(folder.path());
  FakeProcesses processes;  // this process is 4242
  processes.running = {77};
  for (const char* name :
       {"kestro.exe", "config.ini", "~kestro-update-91-0.tmp", "~kestro-replaced-91-0.old",
        "~kestro-update-77-0.tmp", "~kestro-replaced-77-1.old", "~kestro-update-4242-0.tmp",
        "~kestro-update-091-0.tmp", "~kestro-notes.txt"})
    folder.Write(name, "x");
  RemoveLeftovers(files, processes);
  // 91 has ended; 77 runs; 4242 is this process, which has made nothing yet.
  EXPECT_EQ(folder.Names(),
            (Names{"config.ini", "kestro.exe", "~kestro-notes.txt", "~kestro-replaced-77-1.old",
                   "~kestro-update-091-0.tmp", "~kestro-update-77-0.tmp"}));
}

TEST(UpdateHandoverTest, ReplacedProcessIsReadFromTheCommandLine) {
  EXPECT_EQ(ReplacesArgument(4242), "--replaces=4242");
  struct Case {
    const char* commandLine;
    std::optional<ProcessId> replaced;
  } cases[] = {
      {"--replaces=4242", 4242},
      {"  other --replaces=17\t", 17},
      {"--replaces=x --replaces=18", 18},
      {"", std::nullopt},
      {"--replaces=", std::nullopt},
      {"--replaces=0", std::nullopt},
      {"--replaces=-5", std::nullopt},
      {"--replaces=12x", std::nullopt},
      {"--replaces=99999999999", std::nullopt},
      {"--replaces 12", std::nullopt},
      {"x--replaces=12", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.commandLine);
    EXPECT_EQ(ReplacedProcess(c.commandLine), c.replaced);
  }
}

TEST(UpdateHandoverTest, NewCopyWaitsTenSecondsAtMostForTheOneItReplaces) {
  FakeProcesses processes;
  processes.running = {17};
  WaitForReplacedProgram(processes, "--replaces=17");
  WaitForReplacedProgram(processes, "");
  WaitForReplacedProgram(processes, "--replaces=4242");  // itself
  EXPECT_EQ(processes.waits, (std::vector<FakeProcesses::Wait>{{17, 10000}}));
}

class InstallUpdateTest : public ::testing::Test {
 protected:
  InstallUpdateTest() {
    folder_.Write("kestro.exe", kRunning);
    folder_.Write(kDownload, kNew);
    files_.runningProgram = folder_.PathOf("kestro.exe");
  }

  bool Install() {
    return InstallUpdate({files_, signing_, launcher_, processes_}, folder_.PathOf(kDownload),
                         kNew.size(), folder_.PathOf("kestro.exe"));
  }

  Folder Contents() const {
    Folder contents;
    for (const std::string& name : folder_.Names()) contents[name] = folder_.Read(name);
    return contents;
  }

  const std::string kDownload = "~kestro-update-4242-0.tmp";
  const std::string kRunning = "the running program";
  const std::string kNew = Program("SIG:" + kOurPublisher + "\n", 3000);

  ScratchFolder folder_;
  FaultyProgramFiles files_{folder_.path()};
  FakeCodeSigning signing_;
  RecordingLauncher launcher_;
  FakeProcesses processes_;
};

TEST_F(InstallUpdateTest, RunningProgramIsRenamedAsideAndTheNewOneStarted) {
  folder_.Write("~kestro-replaced-4242-0.old", "an earlier aside name in use");
  EXPECT_TRUE(Install());
  EXPECT_EQ(Contents(), (Folder{{"kestro.exe", kNew},
                                {"~kestro-replaced-4242-0.old", "an earlier aside name in use"},
                                {"~kestro-replaced-4242-1.old", kRunning}}));
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{folder_.PathOf("kestro.exe")});
  EXPECT_EQ(launcher_.arguments, Names{"--replaces=4242"});
  // The signature was checked once more, on the download, before it moved.
  EXPECT_EQ(signing_.inspected, std::vector<NativePath>{folder_.PathOf(kDownload)});
}

TEST_F(InstallUpdateTest, TargetThatIsNotTheRunningProgramIsReplaced) {
  struct Case {
    const char* what;
    bool targetExists;
  } cases[] = {{"another file of that name", true}, {"no file of that name", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    files_.runningProgram = folder_.PathOf("kestro-other-name.exe");
    folder_.Write(kDownload, kNew);
    if (!c.targetExists) files_.Remove(folder_.PathOf("kestro.exe"));
    EXPECT_TRUE(Install());
    EXPECT_EQ(Contents(), (Folder{{"kestro.exe", kNew}}));
    ASSERT_FALSE(launcher_.started.empty());
    EXPECT_EQ(launcher_.started.back(), folder_.PathOf("kestro.exe"));
  }
}

// Whichever step fails, the folder is as it was before the download (the
// download itself gone) and nothing runs.
TEST_F(InstallUpdateTest, EveryFailedStepIsUndone) {
  const NativePath target = folder_.PathOf("kestro.exe");
  const NativePath download = folder_.PathOf(kDownload);
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::size_t starts;
  } cases[] = {
      {"download shorter now", [&] { folder_.Write(kDownload, kNew.substr(1)); }, 0},
      {"download re-signed by someone else",
       [&] { folder_.Write(kDownload, Program("SIG:" + kOtherPublisher + "\n", kNew.size())); }, 0},
      {"download altered", [&] { folder_.Write(kDownload, "BAD:" + kNew.substr(4)); }, 0},
      {"download gone", [&] { files_.Remove(download); }, 0},
      {"running program cannot be renamed",
       [&] {
         files_.failMove = [&](const NativePath& from, const NativePath&) {
           return from == target;
         };
       },
       0},
      {"download cannot take the name",
       [&] {
         files_.failMove = [&](const NativePath& from, const NativePath&) {
           return from == download;
         };
       },
       0},
      {"new program does not start", [&] { launcher_.startSucceeds = false; }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    folder_.Write(kDownload, kNew);
    files_.failMove = nullptr;
    launcher_ = RecordingLauncher{};
    c.arrange();
    EXPECT_FALSE(Install());
    EXPECT_EQ(Contents(), (Folder{{"kestro.exe", kRunning}}));
    EXPECT_EQ(launcher_.started.size(), c.starts);
  }
}

}  // namespace
}  // namespace kestro
