// What every fuzz target shares: a failed property ends the run with its
// reason, and no target fuzzes a build whose texts are not GBK.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestro::fuzz {

// Aborts with the reason on stderr when the condition does not hold; the
// fuzzer keeps the input that did it.
void Require(bool condition, const char* what);

// Aborts unless every command word, written here as its GBK bytes, looks up
// to its command, and the button words, a key name and the script file's
// markers are the GBK bytes the program reads. A build that held its texts
// in another encoding would match no command and fuzz nothing but the
// "unknown command" path, without anyone noticing.
void RequireGbkTexts();

// The fuzzer's bytes as text.
inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace kestro::fuzz

// The libFuzzer entry points: every target defines the second, the support
// library the first (it runs RequireGbkTexts); the replay program calls both.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
