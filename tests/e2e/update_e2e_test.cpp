// The update as a user meets it, with a program built to ask a loopback
// server. Signed scenarios run the loopback build signed as the vendor
// under a root the test prefix trusts, and serve the same build signed
// again with another description: the same publisher, different bytes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "kestro_process.h"
#include "testing/ended_process.h"
#include "testing/loopback_server.h"
#include "x_input.h"

namespace kestro::e2e {
namespace {

constexpr std::uint16_t kPort = KESTRO_LOOPBACK_UPDATE_PORT;
constexpr wchar_t kUnsignedBuild[] = L"kestro_loopback_update.exe";
constexpr wchar_t kSignedBuild[] = L"kestro_loopback_signed.exe";
constexpr wchar_t kServedBuild[] = L"kestro_loopback_served.exe";
constexpr wchar_t kCaption[] = L"更新提示";
constexpr wchar_t kQuestion[] = L"Zelmo按键有更新版本，您要更新吗！";
constexpr wchar_t kMainCaption[] = L"Zelmo按键";

using Folder = std::map<std::wstring, std::string>;

#ifdef KESTRO_E2E_SIGNED_BUILDS
#define REQUIRE_SIGNED_BUILDS()
#else
#define REQUIRE_SIGNED_BUILDS() GTEST_SKIP() << "signed builds are made only in a Wine test prefix"
#endif

std::string Request(const std::string& file) {
  return "GET /soft/kestro/" + file +
         " HTTP/1.1\r\nHost:127.0.0.1\r\nAccept:*/*\r\nUser-Agent:Mozilla/4.0 (compatible; MSIE "
         "5.00; Windows 98)\r\nConnection:Keep-Alive\r\n\r\n";
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Every file of the folder with its bytes.
Folder Contents(const std::filesystem::path& folder) {
  Folder contents;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    contents[entry.path().filename().wstring()] = ReadFile(entry.path());
  return contents;
}

// The names alone: reading the files while the program removes one would
// keep it open and make the removal fail, as on Windows.
std::set<std::wstring> Names(const std::filesystem::path& folder) {
  std::set<std::wstring> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().wstring());
  return names;
}

std::set<std::wstring> Names(const Folder& contents) {
  std::set<std::wstring> names;
  for (const auto& [name, bytes] : contents) names.insert(name);
  return names;
}

ScriptedResponse VersionFile(const std::string& body) {
  return {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body};
}

ScriptedResponse Served(const std::string& program) {
  return {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(program.size()) + "\r\n\r\n" +
          program};
}

std::string ServedProgram() { return ReadFile(BuildFolder() / kServedBuild); }

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
  struct Search {
    DWORD processId;
    std::vector<HWND> found;
  } search{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->processId && IsWindowVisible(window)) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The copy an update started: found by its shown main window, closed (or
// ended by force) when the test ends.
class StartedCopy {
 public:
  ~StartedCopy() {
    if (!process_) return;
    if (main_) PostMessageW(main_, WM_COMMAND, IDCANCEL, 0);
    if (WaitForSingleObject(process_, 5000) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
    CloseHandle(process_);
  }

  // Waits for the main window of a process other than `previous`.
  bool WaitForMainWindow(DWORD previous, int limitMs) {
    WaitUntil(
        [&] {
          HWND window = nullptr;
          while ((window = FindWindowExW(nullptr, window, L"#32770", kMainCaption)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != previous && IsWindowVisible(window)) {
              main_ = window;
              processId_ = owner;
              return true;
            }
          }
          return false;
        },
        limitMs);
    if (main_)
      process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE,
                             FALSE, processId_);
    return process_ != nullptr;
  }

  std::filesystem::path ImagePath() const {
    wchar_t path[MAX_PATH * 4] = {};
    DWORD size = static_cast<DWORD>(std::size(path));
    if (!QueryFullProcessImageNameW(process_, 0, path, &size)) return {};
    return path;
  }

  HWND main() const { return main_; }
  DWORD processId() const { return processId_; }

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  HWND main_ = nullptr;
};

// The question, once the download is complete and verified.
BoxContent WaitForQuestion(const KestroProcess& kestro) {
  return kestro.WaitForBox(kCaption, 30000);
}

// Leftovers go first, in any program: a plain one is removed, while links
// of leftover names that lead elsewhere stay, and so do their targets
// (under Wine every way of deleting a link deletes its target).
TEST(UpdateTest, UnsignedProgramAsksNoServerAtAll) {
  LoopbackServer server({VersionFile("qz33"), Served("MZ" + std::string(3000, 'x'))}, kPort);
  ASSERT_EQ(server.port(), kPort);
  ProcessId ended = EndedProcessId();
  ASSERT_NE(ended, 0u);
  std::wstring leftover = L"~kestro-update-" + std::to_wstring(ended) + L"-0.tmp";
  const std::wstring links[] = {L"~kestro-update-777-3.tmp", L"~kestro-replaced-12345-0.old"};
  std::filesystem::path target = std::filesystem::temp_directory_path() / L"kestro-e2e-precious";
  WriteFile(target, "keep me");
  bool linked = true;
  KestroProcess kestro(L"kestro.exe", kUnsignedBuild, [&](const std::filesystem::path& folder) {
    WriteFile(folder / leftover, "half a download");
    for (const std::wstring& link : links) {
      linked = linked && UnixShell("ln -s '" + UnixPath(target) + "' '" + UnixPath(folder) + "/" +
                                   std::string(link.begin(), link.end()) + "'");
    }
  });
  ASSERT_TRUE(linked) << "cannot make the links";
  ASSERT_NE(kestro.WaitForMainWindow(), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return !std::filesystem::exists(kestro.folder() / leftover); }));
  Sleep(2000);
  EXPECT_EQ(server.RequestCount(), 0u);
  EXPECT_EQ(kestro.WaitForBox(kCaption, 200).window, nullptr);
  for (const std::wstring& link : links) {
    EXPECT_TRUE(std::filesystem::exists(kestro.folder() / link))
        << std::string(link.begin(), link.end());
  }
  EXPECT_EQ(ReadFile(target), "keep me");
  std::filesystem::remove(target);
}

TEST(UpdateTest, TheSameVersionIsNotDownloaded) {
  REQUIRE_SIGNED_BUILDS();
  LoopbackServer server({VersionFile("qz32"), Served(ServedProgram())}, kPort);
  KestroProcess kestro(L"kestro.exe", kSignedBuild);
  Folder before = Contents(kestro.folder());
  ASSERT_NE(kestro.WaitForMainWindow(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return server.RequestCount() == 1; }, 10000));
  Sleep(1500);
  EXPECT_EQ(server.Finish(), std::vector<std::string>{Request("kestro.txt")});
  EXPECT_EQ(Contents(kestro.folder()), before);
}

// 4,000,000,000 bytes announced: refused before the body. The server sends
// the first bytes of it and keeps the connection open; the program closes
// it with those bytes unread, which the server sees as a reset.
TEST(UpdateTest, AnnouncementAboveTheCeilingIsRefusedUnread) {
  REQUIRE_SIGNED_BUILDS();
  LoopbackServer server(
      {VersionFile("qz33"),
       {"HTTP/1.1 200 OK\r\nContent-Length: 4000000000\r\n\r\n" + std::string(16384, 'x'),
        /*stall=*/true}},
      kPort);
  KestroProcess kestro(L"kestro.exe", kSignedBuild);
  Folder before = Contents(kestro.folder());
  ASSERT_NE(kestro.WaitForMainWindow(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return server.RequestCount() == 2; }, 10000));
  EXPECT_EQ(server.Finish(),
            (std::vector<std::string>{Request("kestro.txt"), Request("kestro.exe")}));
  EXPECT_EQ(server.UnreadCloseCount(), 1u);
  EXPECT_EQ(kestro.WaitForBox(kCaption, 500).window, nullptr);
  EXPECT_EQ(Contents(kestro.folder()), before);
}

TEST(UpdateTest, NoLeavesTheProgramRunningAndItsFolderAsItWas) {
  REQUIRE_SIGNED_BUILDS();
  std::string served = ServedProgram();
  LoopbackServer server({VersionFile("qz33"), Served(served)}, kPort);
  KestroProcess kestro(L"kestro.exe", kSignedBuild);
  Folder before = Contents(kestro.folder());
  ASSERT_NE(kestro.WaitForMainWindow(), nullptr);
  BoxContent question = WaitForQuestion(kestro);
  ASSERT_NE(question.window, nullptr);
  EXPECT_EQ(question.text, kQuestion);
  // While the question is open, the download waits beside the program.
  std::wstring download = L"~kestro-update-" + std::to_wstring(kestro.processId()) + L"-0.tmp";
  Folder asking = before;
  asking[download] = served;
  EXPECT_EQ(Contents(kestro.folder()), asking);

  AnswerBox(question.window, IDNO);
  EXPECT_TRUE(WaitUntil([&] { return Names(kestro.folder()) == Names(before); }));
  EXPECT_EQ(Contents(kestro.folder()), before);
  EXPECT_EQ(kestro.WaitForExit(0), -1);
  EXPECT_EQ(kestro.Text(1010), L"1");  // the window still answers
  EXPECT_TRUE(kestro.OtherWindows().empty());
}

TEST(UpdateTest, ClosingWhileAskedIsLikeNo) {
  REQUIRE_SIGNED_BUILDS();
  LoopbackServer server({VersionFile("qz33"), Served(ServedProgram())}, kPort);
  KestroProcess kestro(L"kestro.exe", kSignedBuild);
  Folder before = Contents(kestro.folder());
  ASSERT_NE(kestro.WaitForMainWindow(), nullptr);
  ASSERT_NE(WaitForQuestion(kestro).window, nullptr);
  kestro.Command(2);  // the close box
  EXPECT_EQ(kestro.WaitForExit(10000), 0);
  EXPECT_EQ(Contents(kestro.folder()), before);
}

// In a folder whose name GBK cannot hold; and a program its user renamed,
// which replaces itself and leaves a kestro.exe beside it alone.
TEST(UpdateTest, YesPutsTheNewVersionInPlaceAndRunsIt) {
  REQUIRE_SIGNED_BUILDS();
  const std::string served = ServedProgram();
  struct Case {
    std::wstring folderName;
    std::wstring programName;
    bool otherKestroBeside;
  } cases[] = {{L"更新 ✓", L"kestro.exe", false}, {L"改名", L"Zelmo按键.exe", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.folderName.begin(), c.folderName.end()));
    // The third answer is for the new copy's own check at its start.
    LoopbackServer server({VersionFile("qz33"), Served(served), VersionFile("qz32")}, kPort);
    auto started = std::chrono::steady_clock::now();
    KestroProcess kestro(c.folderName + L"\\" + c.programName, kSignedBuild,
                         [&](const std::filesystem::path& root) {
                           if (c.otherKestroBeside) {
                             WriteFile(root / c.folderName / L"kestro.exe", "someone else's");
                           }
                         });
    const std::filesystem::path folder = kestro.folder() / c.folderName;
    ASSERT_NE(kestro.WaitForMainWindow(), nullptr);
    BoxContent question = WaitForQuestion(kestro);
    ASSERT_NE(question.window, nullptr);
    auto asked = std::chrono::steady_clock::now();

    AnswerBox(question.window, IDYES);
    EXPECT_EQ(kestro.WaitForExit(10000), 0);
    auto ended = std::chrono::steady_clock::now();
    StartedCopy copy;
    ASSERT_TRUE(copy.WaitForMainWindow(kestro.processId(), 20000));
    auto running = std::chrono::steady_clock::now();
    EXPECT_TRUE(std::filesystem::equivalent(copy.ImagePath(), folder / c.programName));
    EXPECT_EQ(ReadFile(folder / c.programName), served);
    // No refusal of a hotkey still held by the old copy, no other box.
    EXPECT_EQ(VisibleWindowsOf(copy.processId()), std::vector<HWND>{copy.main()});
    // The new copy removed the old program's file at its start.
    Folder after = {{c.programName, served}};
    if (c.otherKestroBeside) after[L"kestro.exe"] = "someone else's";
    EXPECT_TRUE(WaitUntil([&] { return Names(folder) == Names(after); }));
    EXPECT_EQ(Contents(folder), after);
    ASSERT_TRUE(WaitUntil([&] { return server.RequestCount() == 3; }, 10000));
    EXPECT_EQ(server.Finish(),
              (std::vector<std::string>{Request("kestro.txt"), Request("kestro.exe"),
                                        Request("kestro.txt")}));
    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    auto ms = [](auto duration) {
      return static_cast<long long>(duration_cast<milliseconds>(duration).count());
    };
    std::printf(
        "[  TIMING  ] start to question %lld ms; yes to the old copy's end %lld ms, to the new "
        "main window %lld ms\n",
        ms(asked - started), ms(ended - asked), ms(running - asked));
  }
}

}  // namespace
}  // namespace kestro::e2e
