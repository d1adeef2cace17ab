// Playing a script file from the command line, for shortcuts and the task
// scheduler: the arguments, the exit codes that tell the outcome, and the
// request a second start hands to the copy that runs already. Portable, so
// every rule is tested natively.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/native_path.h"

namespace kestro {

// What the starting process ends with.
enum PlayExit : int {
  kPlayedToTheEnd = 0,
  kPlayStopped = 1,     // a stop request, a colour that did not come, the program closed
  kPlayUnreadable = 2,  // the file is missing or cannot be read
  kPlayBusy = 3,        // a run or a recording was active already
  kPlayBadArguments = 4,
};

struct PlayArguments {
  enum class Mode { Normal, Help, Play, Bad };
  Mode mode = Mode::Normal;
  NativePath file;
  int count = 1;
  bool loop = false;
};

// The arguments after the program's name: none (a start as ever), "--help",
// or "--play FILE" with at most one of "--count N" (N from 1) and "--loop".
// "--replaces=..." belongs to the update and is passed over. Anything else
// is bad.
PlayArguments ParsePlayArguments(const std::vector<NativePath>& arguments);

// A run handed to the copy that runs already: the file's name to show and
// its lines as loaded, played `count` times or in a loop.
struct PlayRequest {
  std::string fileName;  // GBK
  std::vector<std::string> lines;
  int count = 1;
  bool loop = false;

  bool operator==(const PlayRequest&) const = default;
};

// The bytes of a request, and back. Decoding takes bytes from another
// process: anything that is not exactly a request gives nothing.
std::string EncodePlayRequest(const PlayRequest& request);
std::optional<PlayRequest> DecodePlayRequest(std::string_view bytes);

}  // namespace kestro
