// Script lines for the benchmarks.
#pragma once

#include <string>
#include <vector>

namespace kestro {

// A script of waits, clicks and key taps, and the time it specifies for one
// pass, not counting the one-second start delay.
struct TimedScript {
  std::vector<std::string> lines;
  unsigned passMs;
};
TimedScript MixedScript();

// Lines of every kind, well-formed and malformed, for the parsing benchmark.
std::vector<std::string> ParsingLines();

}  // namespace kestro
