// Fuzz target for what a user's script text reaches: one line played by the
// line executor, and a whole file read by the script loader. Neither may
// step outside its buffers; a line shows at most one box, and the loader
// gives back lines without blanks or line ends.
//
// clang has no GBK execution character set, so its build holds the command
// words in UTF-8; the fuzzer finds those as readily, and the byte handling
// under test is the same.
//
// Build (clang, libFuzzer), from the repository root after configuring the
// native build (for build_config.h):
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined \
//     -Isrc -Iresources -Ibuild/native/generated \
//     tests/fuzz/script_fuzz.cpp src/runner/line_executor.cpp src/script/script_language.cpp \
//     src/script/script_file.cpp src/testing/fake_input.cpp src/testing/fake_main_window.cpp \
//     -o build/script_fuzz
//   build/script_fuzz -max_len=4096 -runs=1000000
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "runner/line_executor.h"
#include "script/script_file.h"
#include "testing/fake_input.h"
#include "testing/fake_main_window.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);

  kestro::FakeInput input;
  kestro::FakeMainWindow window;
  kestro::ExecuteLine(text, input, window);
  Require(window.messages.size() <= 1);
  Require(input.calls.size() <= 6);  // a double click is the longest line

  kestro::LoadedScript script = kestro::ParseScriptText(kestro::FromDiskLineEnds(text));
  for (const std::string& line : script.lines) {
    Require(!line.empty());
    Require(line.find_first_of(" \r\n") == std::string::npos);
  }
  return 0;
}
