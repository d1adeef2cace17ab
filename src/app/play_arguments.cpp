#include "app/play_arguments.h"

#include <climits>

namespace kestro {
namespace {

constexpr char kMagic[4] = {'K', 'P', 'L', 'Y'};
constexpr std::uint32_t kFormat = 1;
// Far beyond any script a user writes; a request beyond it is no request.
constexpr std::uint32_t kMostBytes = 16u * 1024 * 1024;

bool Is(const NativePath& argument, std::string_view ascii) {
  return argument == AppendAscii({}, ascii);
}

bool StartsWith(const NativePath& argument, std::string_view ascii) {
  return argument.size() >= ascii.size() &&
         argument.substr(0, ascii.size()) == AppendAscii({}, ascii);
}

// A count as a user writes it: decimal digits, 1 to 2147483647.
std::optional<int> ReadCount(const NativePath& text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  long long value = 0;
  for (NativeChar c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

void PutWord(std::string& bytes, std::uint32_t word) {
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(word >> (8 * i) & 0xFF);
}

bool TakeWord(std::string_view& bytes, std::uint32_t& word) {
  if (bytes.size() < 4) return false;
  word = 0;
  for (int i = 0; i < 4; ++i)
    word |= std::uint32_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
  bytes.remove_prefix(4);
  return true;
}

bool TakeText(std::string_view& bytes, std::string& text) {
  std::uint32_t size = 0;
  if (!TakeWord(bytes, size) || size > bytes.size()) return false;
  text.assign(bytes.substr(0, size));
  bytes.remove_prefix(size);
  return true;
}

}  // namespace

PlayArguments ParsePlayArguments(const std::vector<NativePath>& arguments) {
  PlayArguments parsed;
  bool counted = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const NativePath& argument = arguments[i];
    bool hasValue = i + 1 < arguments.size();
    if (StartsWith(argument, "--replaces=")) continue;
    if (Is(argument, "--help") && parsed.mode == PlayArguments::Mode::Normal) {
      parsed.mode = PlayArguments::Mode::Help;
    } else if (Is(argument, "--play") && hasValue && parsed.file.empty()) {
      parsed.file = arguments[++i];
    } else if (Is(argument, "--count") && hasValue && !counted && !parsed.loop) {
      std::optional<int> count = ReadCount(arguments[++i]);
      if (!count) return {PlayArguments::Mode::Bad};
      parsed.count = *count;
      counted = true;
    } else if (Is(argument, "--loop") && !counted && !parsed.loop) {
      parsed.loop = true;
    } else {
      return {PlayArguments::Mode::Bad};
    }
  }
  bool playing = !parsed.file.empty();
  if (parsed.mode == PlayArguments::Mode::Help) {
    return playing || counted || parsed.loop ? PlayArguments{PlayArguments::Mode::Bad} : parsed;
  }
  if (!playing) {
    return counted || parsed.loop ? PlayArguments{PlayArguments::Mode::Bad} : parsed;
  }
  parsed.mode = PlayArguments::Mode::Play;
  return parsed;
}

// The magic, the format, the count, the loop, the file's name and the lines,
// each text after its length; numbers in four bytes, low byte first.
std::string EncodePlayRequest(const PlayRequest& request) {
  std::string bytes(kMagic, sizeof kMagic);
  PutWord(bytes, kFormat);
  PutWord(bytes, static_cast<std::uint32_t>(request.count));
  PutWord(bytes, request.loop ? 1 : 0);
  PutWord(bytes, static_cast<std::uint32_t>(request.fileName.size()));
  bytes += request.fileName;
  PutWord(bytes, static_cast<std::uint32_t>(request.lines.size()));
  for (const std::string& line : request.lines) {
    PutWord(bytes, static_cast<std::uint32_t>(line.size()));
    bytes += line;
  }
  return bytes;
}

std::optional<PlayRequest> DecodePlayRequest(std::string_view bytes) {
  if (bytes.size() > kMostBytes || bytes.substr(0, sizeof kMagic) != std::string_view(kMagic, 4)) {
    return std::nullopt;
  }
  bytes.remove_prefix(sizeof kMagic);
  std::uint32_t format = 0, count = 0, loop = 0, lines = 0;
  PlayRequest request;
  if (!TakeWord(bytes, format) || format != kFormat || !TakeWord(bytes, count) ||
      !TakeWord(bytes, loop) || loop > 1 || !TakeText(bytes, request.fileName) ||
      !TakeWord(bytes, lines) || lines > bytes.size() / 4) {
    return std::nullopt;
  }
  if (count < 1 || count > INT_MAX) return std::nullopt;
  request.count = static_cast<int>(count);
  request.loop = loop == 1;
  request.lines.resize(lines);
  for (std::string& line : request.lines) {
    if (!TakeText(bytes, line)) return std::nullopt;
  }
  if (!bytes.empty()) return std::nullopt;
  return request;
}

}  // namespace kestro
