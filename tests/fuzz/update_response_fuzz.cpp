// Fuzz target for the update client's response handling: the input is what
// the server sends, split into the version file's response and the
// executable's response, and delivered in receive calls of varying size.
// The client must stay within its buffers, and after a download either the
// whole, announced file is stored or nothing is left behind.
//
// Build (clang, libFuzzer), from the repository root after configuring the
// native build (for build_config.h):
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined \
//     -Isrc -Ibuild/native/generated tests/fuzz/update_response_fuzz.cpp \
//     src/update/update_protocol.cpp src/update/update_trust.cpp \
//     src/update/update_checker.cpp -o build/update_response_fuzz
//   build/update_response_fuzz -max_len=8192 -runs=1000000
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "update/update_checker.h"
#include "update/update_protocol.h"

namespace kestro {
namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// Serves a fixed byte stream; each receive delivers at most `step` bytes.
class ScriptedConnection : public TcpConnection {
 public:
  ScriptedConnection(std::string_view bytes, std::size_t step) : bytes_(bytes), step_(step) {}
  bool Connect(const std::string&, std::uint16_t) override { return true; }
  void Send(std::string_view) override {}
  void SetReceiveTimeout(std::uint32_t) override {}
  std::size_t Receive(char* buffer, std::size_t capacity) override {
    std::size_t count = std::min({capacity, step_, bytes_.size()});
    bytes_.copy(buffer, count);
    bytes_.remove_prefix(count);
    return count;
  }

 private:
  std::string_view bytes_;
  std::size_t step_;
};

class ScriptedNetwork : public TcpConnector {
 public:
  std::unique_ptr<TcpConnection> Open() override {
    std::string_view bytes = exchanges_++ == 0 ? version : executable;
    return std::make_unique<ScriptedConnection>(bytes, step);
  }
  std::string_view version;
  std::string_view executable;
  std::size_t step = 1;

 private:
  int exchanges_ = 0;
};

class MemoryFiles : public ProgramFiles {
 public:
  class Writer : public FileWriter {
   public:
    explicit Writer(std::string& file) : file_(file) {}
    bool Append(std::string_view bytes) override {
      file_.append(bytes);
      return true;
    }

   private:
    std::string& file_;
  };

  std::string PathBesideProgram(std::string_view name) override {
    return "/app/" + std::string(name);
  }
  std::unique_ptr<FileWriter> CreateTemporaryBesideProgram(std::string& path) override {
    path = "/app/~temporary-" + std::to_string(serial_++);
    return std::make_unique<Writer>(files[path]);
  }
  std::optional<std::uint64_t> FileSize(const std::string& path) override {
    auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return found->second.size();
  }
  bool MoveReplacing(const std::string& from, const std::string& to) override {
    auto found = files.find(from);
    if (found == files.end()) return false;
    files[to] = std::move(found->second);
    files.erase(from);
    return true;
  }
  void Remove(const std::string& path) override { files.erase(path); }

  std::map<std::string, std::string> files;

 private:
  int serial_ = 0;
};

class TrustEverything : public CodeSigning {
 public:
  CodeSignature RunningProgramSignature() override { return {SignatureState::Valid, "CN=Zelmo"}; }
  CodeSignature FileSignature(const std::string&) override {
    return {SignatureState::Valid, "CN=Zelmo"};
  }
};

class NoLaunch : public ProgramLauncher {
 public:
  void Start(const std::string&) override { ++starts; }
  int starts = 0;
};

}  // namespace
}  // namespace kestro

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestro;
  if (size < 3) return 0;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t step = static_cast<unsigned char>(input[0]) % 64 + 1;
  std::size_t split = std::min<std::size_t>(static_cast<unsigned char>(input[1]) * 8, size - 2);
  input.remove_prefix(2);

  // The pure rules see the raw bytes as well.
  DecimalReading(input);
  ResponseStatus(input);
  AnnouncedLength(input);

  ScriptedNetwork network;
  network.version = input.substr(0, split);
  network.executable = input.substr(split);
  network.step = step;
  MemoryFiles files;
  TrustEverything signing;
  NoLaunch launcher;
  UpdateChecker checker({network, files, signing, launcher});
  Require(checker.SetServer("localhost", "/soft/kestro/", "kestro.txt", "kestro.exe"));
  checker.FetchVersion();
  if (checker.CompareVersion(kBuiltInVersion) != VersionDifferent) return 0;
  int stored = checker.DownloadUpdate();
  if (stored == 1) {
    Require(files.files.size() == 1);
    Require(files.files.count("/app/kestro.exe") == 1);
    Require(files.files["/app/kestro.exe"].size() == checker.announcedLength());
    checker.LaunchUpdate();
    Require(launcher.starts == 1);
  } else {
    Require(files.files.empty());
  }
  return 0;
}
