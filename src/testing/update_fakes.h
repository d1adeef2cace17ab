// Fakes of the signature check and the launcher for the update tests. The
// fake signature follows the file's content, so a test states what a file
// "is" by what the server sent: a download that starts with
// "SIG:<publisher>\n" is validly signed by that publisher, one that starts
// with "BAD:" carries a broken signature (altered after signing), anything
// else is unsigned.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/code_signing.h"
#include "platform/program_launcher.h"

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
    if (content.starts_with("BAD:")) return {SignatureState::Invalid, ""};
    if (!content.starts_with("SIG:")) return {SignatureState::Unsigned, ""};
    std::size_t end = content.find('\n');
    return {SignatureState::Valid, content.substr(4, end - 4)};
  }

  CodeSignature runningProgram{SignatureState::Valid, kOurPublisher};
  // Every path given to FileSignature, in order.
  std::vector<NativePath> inspected;
};

class RecordingLauncher : public ProgramLauncher {
 public:
  bool Start(const NativePath& program) override {
    started.push_back(program);
    return true;
  }
  bool OpenAddress(std::string_view address) override {
    opened.emplace_back(address);
    return true;
  }
  std::vector<NativePath> started;
  std::vector<std::string> opened;
};

// A program of `size` bytes that starts with the tag; the rest holds every
// byte value, zero and CR LF included, as an executable would.
inline std::string Program(const std::string& tag, std::size_t size) {
  std::string bytes = tag;
  for (std::size_t i = bytes.size(); i < size; ++i) bytes.push_back(static_cast<char>(i * 7 % 256));
  bytes.resize(size);
  return bytes;
}

}  // namespace kestro
