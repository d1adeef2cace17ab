// Replays fuzz inputs without libFuzzer: every file in the folders named on
// the command line goes through the target once, in name order. ctest runs
// it over the committed corpora, so every build proves the targets and their
// seeds; `make fuzz` runs it for the coverage figures.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_support.h"

int main(int argc, char** argv) {
  LLVMFuzzerInitialize(&argc, &argv);
  std::size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path folder(argv[i]);
    // A mistyped folder must not pass as a corpus that holds nothing.
    if (!std::filesystem::is_directory(folder)) {
      std::fprintf(stderr, "replay: %s is no folder\n", argv[i]);
      return 1;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& path : files) {
      std::ifstream file(path, std::ios::binary);
      std::string bytes(std::istreambuf_iterator<char>(file), {});
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
    }
  }
  std::printf("replay: %zu inputs\n", replayed);
  return replayed == 0 ? 1 : 0;
}
