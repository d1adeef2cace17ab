// Fuzz target for the portable INI reader and writer: any file bytes must
// be read and rewritten without stepping outside a buffer, and a value just
// written must read back.
//
// Build (clang, libFuzzer), from the repository root:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined \
//     -Isrc \
//     tests/fuzz/ini_fuzz.cpp src/hotkeys/ini_profile.cpp -o build/ini_fuzz
//   build/ini_fuzz -max_len=2048 -runs=1000000
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/ini_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view file(reinterpret_cast<const char*>(data), size);
  kestro::IniReadInt(file, "HotKey", "VKRun", 89);
  std::string written = kestro::IniWriteString(file, "HotKey", "VKRun", "85");
  if (kestro::IniReadInt(written, "HotKey", "VKRun", 89) != 85) std::abort();
  return 0;
}
