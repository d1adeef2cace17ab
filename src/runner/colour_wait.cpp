#include <algorithm>

#include "runner/line_commands.h"
#include "runner/line_fields.h"
#include "script/line_costs.h"

namespace kestro {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Six hexadecimal digits, as the capture shows them after "颜色:": blue,
// green, red. Leaves `pos` on the byte after them.
std::optional<std::uint32_t> ReadColourField(std::string_view text, std::size_t& pos) {
  std::uint32_t colour = 0;
  for (int i = 0; i < 6; ++i, ++pos) {
    int digit = pos < text.size() ? HexDigit(text[pos]) : -1;
    if (digit < 0) return std::nullopt;
    colour = colour << 4 | static_cast<std::uint32_t>(digit);
  }
  return colour;
}

struct ColourWait {
  int x = 0;
  int y = 0;
  std::uint32_t colour = 0;
  std::uint32_t limitMs = kColourWaitLimitMs;
};

// "x,y,BBGGRR;" or "x,y,BBGGRR,t;".
std::optional<ColourWait> ReadColourWait(std::string_view argument) {
  ColourWait wait;
  std::size_t pos = 0;
  auto x = ReadSignedField(argument, pos, ',');
  auto y = x ? ReadSignedField(argument, pos, ',') : std::nullopt;
  auto colour = y ? ReadColourField(argument, pos) : std::nullopt;
  if (!colour || pos >= argument.size()) return std::nullopt;
  wait.x = *x;
  wait.y = *y;
  wait.colour = *colour;
  if (argument[pos] == ';') return wait;
  if (argument[pos] != ',') return std::nullopt;
  auto limit = ReadNumberField(argument, ++pos, ';');
  if (!limit) return std::nullopt;
  wait.limitMs = *limit;
  return wait;
}

}  // namespace

// The run goes on as soon as the colour is there, and the next line's wait
// counts from then. Looking costs one pixel read every kColourPollMs.
LineOutcome ExecuteColourWait(const ScriptLineParts& parts, Input& input, MainWindow& window,
                              Pacer& pacer, const std::function<bool()>& stopRequested) {
  std::optional<ColourWait> wait = ReadColourWait(parts.argument);
  if (!wait) {
    ShowScriptError(window, pacer, CommandId::WaitColour, parts.firstWord);
    return LineOutcome::Next;
  }
  Clock& clock = pacer.clock();
  const std::int64_t deadline = clock.NowMicroseconds() + std::int64_t{wait->limitMs} * 1000;
  for (;;) {
    if (input.ScreenPixel(wait->x, wait->y) == wait->colour) {
      pacer.Resync();
      return LineOutcome::Next;
    }
    if (stopRequested && stopRequested()) return LineOutcome::Stopped;
    std::int64_t now = clock.NowMicroseconds();
    if (now >= deadline) return LineOutcome::ColourTimedOut;
    clock.WaitUntil(std::min(now + std::int64_t{kColourPollMs} * 1000, deadline));
  }
}

}  // namespace kestro
