// Fuzz target: what the update server sends, to both exchanges of the
// update check. Whatever comes, the client stays within its buffers, takes
// no more than the header limit, the version file's four bytes and the
// announced length (plus the rest of one chunk), never more than the
// ceiling. After the download either one new temporary file holds exactly
// the announced bytes of a trusted program and nothing else changed, or
// every file is as it was. No removes it; yes puts it under the program's
// name and starts it, naming the process it replaces, or, when a step
// fails, leaves every file as it was and starts nothing.
//
// Input: byte 0 holds the most bytes one receive delivers less one in bits
// 0-5 (63: as many as asked for), in bit 6 that the download is signed by
// another publisher, in bit 7 that an older program is already there.
// Byte 1 makes the system fail: bits 0 and 1, no connection for the version
// file or a refused one; bits 2 and 3 the same for the executable; bit 4 no
// new file; bit 5 no write to it; bit 6 no move; bit 7 says yes to the
// question.
// Bytes 2 and 3 are the length of the version file's response (big-endian);
// it follows, and after it the executable's response.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "testing/update_fakes.h"
#include "text/decimal.h"
#include "update/update_checker.h"
#include "update/update_install.h"
#include "update/update_protocol.h"

namespace kestro::fuzz {
namespace {

constexpr std::size_t kNotRead = std::numeric_limits<std::size_t>::max();

enum Failure : unsigned {
  kNoVersionConnection = 1,
  kVersionRefused = 2,
  kNoExecutableConnection = 4,
  kExecutableRefused = 8,
  kNoTemporaryFile = 16,
  kWriteFails = 32,
  kMoveFails = 64,
  kSaysYes = 128,
};

// One exchange as the server sees it.
struct Exchange {
  std::string_view response;
  bool refused = false;
  bool connected = false;
  std::string request;
  std::size_t delivered = 0;
  // Bytes delivered before the first receive that asked for more than one:
  // the header's end as the client found it.
  std::size_t bodyStart = kNotRead;
};

class ScriptedConnection : public TcpConnection {
 public:
  ScriptedConnection(Exchange& exchange, std::size_t step) : exchange_(exchange), step_(step) {}
  bool Connect(const std::string&, std::uint16_t) override {
    exchange_.connected = !exchange_.refused;
    return exchange_.connected;
  }
  void Send(std::string_view bytes) override { exchange_.request.append(bytes); }
  void SetReceiveTimeout(std::uint32_t) override {}
  std::size_t Receive(char* buffer, std::size_t capacity) override {
    if (capacity > 1 && exchange_.bodyStart == kNotRead) exchange_.bodyStart = exchange_.delivered;
    std::string_view rest = exchange_.response.substr(exchange_.delivered);
    std::size_t count = std::min({capacity, step_, rest.size()});
    rest.copy(buffer, count);
    exchange_.delivered += count;
    return count;
  }

 private:
  Exchange& exchange_;
  std::size_t step_;
};

class ScriptedNetwork : public TcpConnector {
 public:
  std::unique_ptr<TcpConnection> Open() override {
    std::size_t index = opened++;
    if (index >= std::size(exchanges) || !available[index]) return nullptr;
    return std::make_unique<ScriptedConnection>(exchanges[index], step);
  }
  Exchange exchanges[2];
  bool available[2] = {true, true};
  std::size_t step = 1;
  std::size_t opened = 0;
};

// The program's folder in memory; "kestro.exe" there is the running
// program's own file when it exists before the check.
class MemoryProgramFiles : public ProgramFiles {
 public:
  class Writer : public FileWriter {
   public:
    Writer(std::string& file, bool fails) : file_(file), fails_(fails) {}
    bool Append(std::string_view bytes) override {
      if (fails_) return false;
      file_.append(bytes);
      return true;
    }

   private:
    std::string& file_;
    bool fails_;
  };

  NativePath PathBesideProgram(std::string_view name) override {
    return PathInFolder(AppendAscii({}, "app"), name);
  }
  std::vector<std::string> NamesBesideProgram() override {
    std::vector<std::string> names;
    for (const auto& [path, bytes] : files) {
      names.emplace_back(path.begin() + path.rfind(kPathSeparator) + 1, path.end());
    }
    return names;
  }
  std::unique_ptr<FileWriter> CreateNew(const NativePath& path) override {
    if (noNewFile || files.count(path)) return nullptr;
    return std::make_unique<Writer>(files[path], writeFails);
  }
  bool Exists(const NativePath& path) override { return files.count(path) != 0; }
  std::optional<std::uint64_t> FileSize(const NativePath& path) override {
    auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return found->second.size();
  }
  bool Move(const NativePath& from, const NativePath& to) override {
    auto found = files.find(from);
    if (moveFails || found == files.end() || files.count(to)) return false;
    std::string bytes = std::move(found->second);
    files.erase(found);
    files[to] = std::move(bytes);
    if (from == runningProgram) runningProgram = to;
    return true;
  }
  void Remove(const NativePath& path) override {
    if (path != runningProgram) files.erase(path);
  }
  std::unique_ptr<HeldFile> Hold(const NativePath& path) override;
  NativePath RunningProgramPath() override { return PathBesideProgram("kestro.exe"); }

  std::map<NativePath, std::string> files;
  NativePath runningProgram;
  bool noNewFile = false;
  bool writeFails = false;
  bool moveFails = false;
};

class MemoryHeldFile : public HeldFile {
 public:
  MemoryHeldFile(MemoryProgramFiles& files, NativePath path) : files_(files), path_(path) {}
  const NativePath& path() const override { return path_; }
  std::optional<std::uint64_t> Size() override { return files_.FileSize(path_); }
  bool MoveTo(const NativePath& to) override {
    if (!files_.Move(path_, to)) return false;
    path_ = to;
    return true;
  }

 private:
  MemoryProgramFiles& files_;
  NativePath path_;
};

std::unique_ptr<HeldFile> MemoryProgramFiles::Hold(const NativePath& path) {
  if (!files.count(path)) return nullptr;
  return std::make_unique<MemoryHeldFile>(*this, path);
}

const std::string kPublisher = "CN=Zelmo Software, O=Zelmo, C=CN";

class ScriptedSigning : public CodeSigning {
 public:
  explicit ScriptedSigning(MemoryProgramFiles& files) : files_(files) {}
  CodeSignature RunningProgramSignature() override {
    return {SignatureState::Valid, kPublisher, kPublisher};
  }
  CodeSignature FileSignature(const NativePath& path) override {
    Require(files_.files.count(path) == 1, "only a file that is there is checked for trust");
    std::string key = otherPublisher ? "CN=Someone Else" : kPublisher;
    return {SignatureState::Valid, key, key};
  }
  CodeSignature HeldFileSignature(const HeldFile& file) override {
    return FileSignature(file.path());
  }
  bool otherPublisher = false;

 private:
  MemoryProgramFiles& files_;
};

// The version file as the client got it: its first four bytes, however
// the receives split them, zeros for those that never came.
VersionFile Received(const Exchange& exchange) {
  char body[kVersionBodySize] = {};
  if (exchange.bodyStart != kNotRead) {
    exchange.response.substr(exchange.bodyStart).copy(body, sizeof body);
  }
  return {std::string_view(body, 2) == "qz",
          static_cast<std::int32_t>(DecimalReading(std::string_view(body + 2, 2)))};
}

void CheckRequest(const Exchange& exchange, std::string_view name) {
  if (!exchange.connected) return;
  std::string line = "GET /soft/kestro/" + std::string(name) + " HTTP/1.1\r\n";
  Require(exchange.request.starts_with(line) && exchange.request.ends_with("\r\n\r\n"),
          "each exchange sends one request for its file");
}

}  // namespace
}  // namespace kestro::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestro;
  using namespace kestro::fuzz;
  std::string_view input = AsText(data, size);
  if (input.size() < 4) return 0;
  auto control = static_cast<unsigned char>(input[0]);
  auto failures = static_cast<unsigned char>(input[1]);
  std::size_t split =
      static_cast<unsigned char>(input[2]) << 8 | static_cast<unsigned char>(input[3]);
  input.remove_prefix(4);
  split = std::min(split, input.size());

  ScriptedNetwork network;
  network.step = (control & 63) == 63 ? kNotRead : (control & 63) + 1u;
  network.exchanges[0].response = input.substr(0, split);
  network.exchanges[0].refused = failures & kVersionRefused;
  network.available[0] = !(failures & kNoVersionConnection);
  network.exchanges[1].response = input.substr(split);
  network.exchanges[1].refused = failures & kExecutableRefused;
  network.available[1] = !(failures & kNoExecutableConnection);
  MemoryProgramFiles files;
  files.noNewFile = failures & kNoTemporaryFile;
  files.writeFails = failures & kWriteFails;
  files.moveFails = failures & kMoveFails;
  const NativePath target = files.PathBesideProgram("kestro.exe");
  if (control & 128) {
    files.files[target] = "the program that was there before";
    files.runningProgram = target;
  }
  const std::map<NativePath, std::string> before = files.files;
  ScriptedSigning signing(files);
  signing.otherPublisher = control & 64;
  RecordingLauncher launcher;
  FakeProcesses processes;
  FakeClock clock;

  UpdateChecker checker({network, files, signing, launcher, processes, clock},
                        {"update.example", 80});
  Require(checker.SetServer("update.example", "/soft/kestro/", "kestro.txt", "kestro.exe"),
          "the program's own server is taken");

  checker.FetchVersion();
  const Exchange& version = network.exchanges[0];
  CheckRequest(version, "kestro.txt");
  Require(version.bodyStart == kNotRead || version.bodyStart <= kHeaderLimit,
          "a header is read up to its limit at most");
  Require(
      version.bodyStart == kNotRead || version.delivered <= version.bodyStart + kVersionBodySize,
      "the version file is four bytes at most");
  VersionFile file = Received(version);
  Require(checker.markerFound() == file.markerFound, "the marker is the body's first two bytes");
  Require(checker.remoteVersion() == file.version, "the version is the body's next two bytes");
  VersionComparison comparison = checker.CompareVersion(kBuiltInVersion);
  Require((comparison == VersionInvalid) == (!file.markerFound || file.version == 0),
          "a version file counts only with its marker and a version");

  int stored = checker.DownloadUpdate();
  const Exchange& download = network.exchanges[1];
  Require(comparison != VersionInvalid || network.opened == 1,
          "no download without a valid version file");
  CheckRequest(download, "kestro.exe");
  Require(download.bodyStart == kNotRead || download.bodyStart <= kHeaderLimit,
          "a header is read up to its limit at most");
  std::uint32_t announced = checker.announcedLength();
  Require(download.bodyStart == kNotRead ||
              download.delivered < download.bodyStart + announced + kDownloadChunk,
          "the download stops taking bytes at the announced length");
  Require(announced <= kDownloadCeiling || download.bodyStart == kNotRead,
          "a program above the ceiling is refused unread");
  std::string program;
  if (stored == 1) {
    Require(!signing.otherPublisher, "only a file of the program's publisher is kept");
    Require(files.files.size() == before.size() + 1, "the download is one new file");
    for (const auto& [path, bytes] : files.files) {
      if (before.count(path)) {
        Require(before.at(path) == bytes, "nothing else changes before the answer");
      } else {
        program = bytes;
      }
    }
    Require(program == download.response.substr(download.bodyStart, announced) &&
                program.size() == announced,
            "the kept program is exactly the announced bytes after the header");
  } else {
    Require(stored == 0, "a download is kept or not");
    Require(files.files == before, "a failed download leaves every file as it was");
  }

  if (!(failures & kSaysYes)) {
    checker.DiscardUpdate();
    Require(files.files == before && launcher.started.empty(), "no leaves the folder as it was");
    return 0;
  }
  LaunchResult result = checker.LaunchUpdate().result;
  Require(stored == 1 || result == LaunchResult::NothingPending,
          "yes without a download is nothing");
  if (result == LaunchResult::Started) {
    Require(files.files.count(target) && files.files[target] == program,
            "the new program takes the program's name");
    Require(launcher.started == std::vector<NativePath>{target} && launcher.arguments.size() == 1 &&
                launcher.arguments[0] == ReplacesArgument(processes.self),
            "the new program starts once, naming the process it replaces");
  } else {
    Require(files.files == before && launcher.started.empty(),
            "a failed swap leaves every file as it was and starts nothing");
  }
  return 0;
}
