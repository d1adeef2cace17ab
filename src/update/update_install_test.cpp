#include "update/update_install.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
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
  // A link of a leftover's name leads elsewhere: it and its target stay.
  ScratchFolder elsewhere;
  elsewhere.Write("precious", "keep me");
  std::error_code linked;
  std::filesystem::create_symlink(std::filesystem::path(elsewhere.PathOf("precious")),
                                  std::filesystem::path(folder.PathOf("~kestro-update-91-1.tmp")),
                                  linked);
  RemoveLeftovers(files, processes);
  // 91 has ended; 77 runs; 4242 is this process, which has made nothing yet.
  Names kept = {"config.ini",
                "kestro.exe",
                "~kestro-notes.txt",
                "~kestro-replaced-77-1.old",
                "~kestro-update-091-0.tmp",
                "~kestro-update-77-0.tmp"};
  if (!linked) kept.push_back("~kestro-update-91-1.tmp");
  EXPECT_EQ(folder.Names(), kept);
  EXPECT_EQ(elsewhere.Read("precious"), "keep me");
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

// Only the process that started this copy is waited for: any other process
// named (a service, itself) would only hold up the start.
TEST(UpdateHandoverTest, NewCopyWaitsTenSecondsAtMostForTheOneThatStartedIt) {
  FakeProcesses processes;
  processes.running = {17, 99};
  processes.parent = 17;
  WaitForReplacedProgram(processes, "--replaces=17");
  WaitForReplacedProgram(processes, "");
  WaitForReplacedProgram(processes, "--replaces=99");    // running, but not the parent
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

  InstallResult Install() {
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

// The download is checked through the hold that keeps it, and started
// while still held under the program's name.
TEST_F(InstallUpdateTest, RunningProgramIsRenamedAsideAndTheNewOneStarted) {
  folder_.Write("~kestro-replaced-4242-0.old", "an earlier aside name in use");
  std::optional<NativePath> heldAtStart;
  launcher_.onStart = [&] {
    if (files_.held) heldAtStart = files_.held->path();
  };
  EXPECT_TRUE(Install().started);
  EXPECT_EQ(Contents(), (Folder{{"kestro.exe", kNew},
                                {"~kestro-replaced-4242-0.old", "an earlier aside name in use"},
                                {"~kestro-replaced-4242-1.old", kRunning}}));
  EXPECT_EQ(launcher_.started, std::vector<NativePath>{folder_.PathOf("kestro.exe")});
  EXPECT_EQ(launcher_.arguments, Names{"--replaces=4242"});
  EXPECT_EQ(signing_.heldInspections, 1);
  EXPECT_EQ(heldAtStart, folder_.PathOf("kestro.exe"));
  EXPECT_EQ(files_.held, nullptr);
}

// Whichever step fails, the folder is as it was before the download (the
// download itself gone) and nothing runs; when the program's own file
// cannot go back, the result says where it lies.
TEST_F(InstallUpdateTest, EveryFailedStepIsUndoneOrReported) {
  const NativePath target = folder_.PathOf("kestro.exe");
  const NativePath download = folder_.PathOf(kDownload);
  const NativePath aside = folder_.PathOf("~kestro-replaced-4242-0.old");
  auto failing = [&](std::vector<NativePath> from) {
    return [&, from](const NativePath& moved, const NativePath&) {
      return std::find(from.begin(), from.end(), moved) != from.end();
    };
  };
  const Folder before = {{"kestro.exe", kRunning}};
  struct Case {
    const char* what;
    std::function<void()> arrange;
    std::size_t starts;
    Folder after;
    NativePath stranded;
  } cases[] = {
      {"download shorter now", [&] { folder_.Write(kDownload, kNew.substr(1)); }, 0, before, {}},
      {"download re-signed with another key",
       [&] { folder_.Write(kDownload, Program("SIG:" + kOtherPublisher + "\n", kNew.size())); },
       0,
       before,
       {}},
      {"download altered",
       [&] { folder_.Write(kDownload, "BAD:" + kNew.substr(4)); },
       0,
       before,
       {}},
      {"download gone", [&] { files_.Remove(download); }, 0, before, {}},
      {"running program cannot be renamed",
       [&] { files_.failMove = failing({target}); },
       0,
       before,
       {}},
      {"download cannot take the name",
       [&] { files_.failMove = failing({download}); },
       0,
       before,
       {}},
      {"new program does not start", [&] { launcher_.startSucceeds = false; }, 1, before, {}},
      {"download cannot take the name, and the program cannot go back",
       [&] {
         files_.failMove = failing({download, aside});
       },
       0,
       {{"~kestro-replaced-4242-0.old", kRunning}},
       aside},
      {"new program does not start, and cannot be moved out of the way",
       [&] {
         launcher_.startSucceeds = false;
         // Only once it is in: the program itself goes aside first.
         files_.failMove = [&, first = true](const NativePath& from, const NativePath&) mutable {
           if (from != target) return false;
           return !std::exchange(first, false);
         };
       },
       1,
       {{"kestro.exe", kNew}, {"~kestro-replaced-4242-0.old", kRunning}},
       aside},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const std::string& name : folder_.Names()) files_.Remove(folder_.PathOf(name));
    folder_.Write("kestro.exe", kRunning);
    folder_.Write(kDownload, kNew);
    files_.failMove = nullptr;
    launcher_ = RecordingLauncher{};
    c.arrange();
    InstallResult result = Install();
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.stranded, c.stranded);
    EXPECT_EQ(Contents(), c.after);
    EXPECT_EQ(launcher_.started.size(), c.starts);
  }
}

}  // namespace
}  // namespace kestro
