// Fakes for the update tests. The fake signature follows the file's content,
// so a test states what a file "is" by what the server sent: a download that
// starts with "SIG:<key>\n" is validly signed with that key (its publisher
// named the same), one that starts with "BAD:" carries a broken signature
// (altered after signing), anything else is unsigned. The other fakes run in virtual time
// and let a test make any one file step fail.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/code_signing.h"
#include "platform/processes.h"
#include "platform/program_files.h"
#include "platform/program_launcher.h"
#include "platform/tcp_connection.h"

namespace kestro {

inline const std::string kOurPublisher = "CN=Zelmo Software, O=Zelmo, C=CN";
inline const std::string kOtherPublisher = "CN=Someone Else, O=Other, C=US";

class FakeCodeSigning : public CodeSigning {
 public:
  CodeSignature RunningProgramSignature() override { return runningProgram; }

  CodeSignature FileSignature(const NativePath& path) override {
    inspected.push_back(path);
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    std::string content(std::istreambuf_iterator<char>(file), {});
    return SignatureOf(content);
  }
  // What the file held when it was taken: Windows lets nobody else open a
  // held file for reading by name.
  CodeSignature HeldFileSignature(const HeldFile& file) override;

  static CodeSignature SignatureOf(const std::string& content) {
    if (content.starts_with("BAD:")) return {SignatureState::Invalid};
    if (!content.starts_with("SIG:")) return {SignatureState::Unsigned};
    std::string key = content.substr(4, content.find('\n') - 4);
    return {SignatureState::Valid, key, key};
  }

  CodeSignature runningProgram{SignatureState::Valid, kOurPublisher, kOurPublisher};
  // Every path given to FileSignature, in order.
  std::vector<NativePath> inspected;
  int heldInspections = 0;
};

class RecordingLauncher : public ProgramLauncher {
 public:
  bool Start(const NativePath& program, std::string_view arguments) override {
    started.push_back(program);
    this->arguments.emplace_back(arguments);
    if (onStart) onStart();
    return startSucceeds;
  }
  bool OpenAddress(std::string_view address) override {
    opened.emplace_back(address);
    return true;
  }
  bool startSucceeds = true;
  // Called as a program starts, e.g. to see what is held then.
  std::function<void()> onStart;
  std::vector<NativePath> started;
  std::vector<std::string> arguments;
  std::vector<std::string> opened;
};

class FakeProcesses : public Processes {
 public:
  ProcessId CurrentProcessId() override { return self; }
  bool IsRunning(ProcessId process) override {
    return process == self || running.count(process) != 0;
  }
  bool WaitForExit(ProcessId process, std::uint32_t limitMs) override {
    waits.push_back({process, limitMs});
    return !IsRunning(process);
  }
  bool IsParentProcess(ProcessId process) override { return process != 0 && process == parent; }

  struct Wait {
    ProcessId process;
    std::uint32_t limitMs;
    bool operator==(const Wait&) const = default;
  };
  ProcessId self = 4242;
  ProcessId parent = 0;
  std::set<ProcessId> running;
  std::vector<Wait> waits;
};

class FakeClock : public Clock {
 public:
  std::int64_t NowMicroseconds() override { return now * 1000; }
  void WaitUntil(std::int64_t deadlineMicroseconds) override {
    now = std::max(now, (deadlineMicroseconds + 999) / 1000);
  }
  std::int64_t now = 1000;
};

// A server in virtual time: each Open() serves the next scripted response,
// one byte every `trickleMs` of the clock (or, at 0, everything at once). A
// receive whose time limit is shorter than the gap gets nothing, as a real
// one would.
class TricklingNetwork : public TcpConnector {
 public:
  struct Response {
    std::string bytes;
    std::int64_t trickleMs = 0;
  };

  TricklingNetwork(FakeClock& clock, std::vector<Response> responses)
      : clock_(clock), responses_(std::move(responses)) {}

  std::unique_ptr<TcpConnection> Open() override {
    ++opened;
    Response response = opened <= responses_.size() ? responses_[opened - 1] : Response{};
    delivered.push_back(0);
    return std::make_unique<Connection>(*this, std::move(response), delivered.size() - 1);
  }

  std::size_t opened = 0;
  // Bytes each connection delivered, in the order they were opened.
  std::vector<std::size_t> delivered;

 private:
  class Connection : public TcpConnection {
   public:
    Connection(TricklingNetwork& network, Response response, std::size_t index)
        : network_(network), response_(std::move(response)), index_(index) {}
    bool Connect(const std::string&, std::uint16_t) override { return true; }
    void Send(std::string_view) override {}
    void SetReceiveTimeout(std::uint32_t milliseconds) override { limitMs_ = milliseconds; }
    std::size_t Receive(char* buffer, std::size_t capacity) override {
      std::size_t& delivered = network_.delivered[index_];
      if (capacity == 0 || delivered == response_.bytes.size()) return 0;
      if (limitMs_ < response_.trickleMs) {
        network_.clock_.now += limitMs_;
        return 0;
      }
      network_.clock_.now += response_.trickleMs;
      std::size_t count =
          response_.trickleMs == 0 ? std::min(capacity, response_.bytes.size() - delivered) : 1;
      response_.bytes.copy(buffer, count, delivered);
      delivered += count;
      return count;
    }

   private:
    TricklingNetwork& network_;
    Response response_;
    std::size_t index_;
    std::int64_t limitMs_ = 0;
  };

  FakeClock& clock_;
  std::vector<Response> responses_;
};

// The real files of a scratch folder, with one file as "the running
// program" and any single step made to fail.
class FaultyProgramFiles : public ProgramFiles {
 public:
  explicit FaultyProgramFiles(NativePath folder) : files_(std::move(folder)) {}

  NativePath PathBesideProgram(std::string_view asciiName) override {
    return files_.PathBesideProgram(asciiName);
  }
  std::vector<std::string> NamesBesideProgram() override { return files_.NamesBesideProgram(); }
  std::unique_ptr<FileWriter> CreateNew(const NativePath& path) override {
    return files_.CreateNew(path);
  }
  bool Exists(const NativePath& path) override { return files_.Exists(path); }
  std::optional<std::uint64_t> FileSize(const NativePath& path) override {
    return files_.FileSize(path);
  }
  bool Move(const NativePath& from, const NativePath& to) override {
    if (failMove && failMove(from, to)) return false;
    return files_.Move(from, to);
  }
  void Remove(const NativePath& path) override { files_.Remove(path); }
  std::unique_ptr<HeldFile> Hold(const NativePath& path) override;
  NativePath RunningProgramPath() override { return runningProgram; }

  NativePath runningProgram;
  // Returns true for the move that is to fail, whether by name or through
  // a held file.
  std::function<bool(const NativePath& from, const NativePath& to)> failMove;
  // The held file, while it is held.
  HeldFile* held = nullptr;

 private:
  SystemProgramFiles files_;
};

// A held file of the scratch folder whose moves may fail as the files say.
class FaultyHeldFile : public HeldFile {
 public:
  FaultyHeldFile(FaultyProgramFiles& files, std::unique_ptr<HeldFile> file, std::string content)
      : content(std::move(content)), files_(files), file_(std::move(file)) {
    files_.held = this;
  }
  ~FaultyHeldFile() override { files_.held = nullptr; }
  const NativePath& path() const override { return file_->path(); }
  std::optional<std::uint64_t> Size() override { return file_->Size(); }
  bool MoveTo(const NativePath& to) override {
    if (files_.failMove && files_.failMove(path(), to)) return false;
    return file_->MoveTo(to);
  }

  const std::string content;

 private:
  FaultyProgramFiles& files_;
  std::unique_ptr<HeldFile> file_;
};

inline std::unique_ptr<HeldFile> FaultyProgramFiles::Hold(const NativePath& path) {
  std::ifstream read(std::filesystem::path(path), std::ios::binary);
  std::string content(std::istreambuf_iterator<char>(read), {});
  read.close();
  std::unique_ptr<HeldFile> file = files_.Hold(path);
  if (!file) return nullptr;
  return std::make_unique<FaultyHeldFile>(*this, std::move(file), std::move(content));
}

inline CodeSignature FakeCodeSigning::HeldFileSignature(const HeldFile& file) {
  ++heldInspections;
  inspected.push_back(file.path());
  const auto* faulty = dynamic_cast<const FaultyHeldFile*>(&file);
  return faulty ? SignatureOf(faulty->content) : CodeSignature{};
}

// A program of `size` bytes that starts with the tag; the rest holds every
// byte value, zero and CR LF included, as an executable would.
inline std::string Program(const std::string& tag, std::size_t size) {
  std::string bytes = tag;
  for (std::size_t i = bytes.size(); i < size; ++i) bytes.push_back(static_cast<char>(i * 7 % 256));
  bytes.resize(size);
  return bytes;
}

}  // namespace kestro
