#include "recorder/replay_timing.h"

#include <utility>

#include "script/line_costs.h"

namespace kestro {
namespace {

std::int64_t WaitLineCostUs(std::uint32_t ms) { return CostOf(CommandId::Wait, ms).leadUs; }

const std::int64_t kShortestWaitLineUs = WaitLineCostUs(0);

// The waits that make up a shortfall, each rounded to the millisecond.
std::vector<std::uint32_t> WaitsFor(std::int64_t shortfallUs) {
  std::vector<std::uint32_t> waits;
  // Closer to nothing than to the shortest wait line: no wait.
  if (2 * shortfallUs < kShortestWaitLineUs) return waits;
  for (;;) {
    std::int64_t ms = (shortfallUs - kShortestWaitLineUs + 500) / 1000;
    if (ms < 0) ms = 0;
    if (ms <= kLargestNumber) {
      waits.push_back(static_cast<std::uint32_t>(ms));
      return waits;
    }
    waits.push_back(kLargestNumber);
    shortfallUs -= WaitLineCostUs(kLargestNumber);
  }
}

std::string WaitLine(std::uint32_t ms) { return ComposeLine(CommandId::Wait, std::to_string(ms)); }

}  // namespace

void TimedUnit::Add(CommandId command, std::string line) {
  LineCost cost = CostOf(command);
  // The lines before the last play whole before its event.
  leadUs_ += tailUs_ + cost.leadUs;
  tailUs_ = cost.tailUs;
  lines_.push_back(std::move(line));
}

std::vector<std::string> LinesWithWaits(const std::vector<TimedUnit>& units) {
  std::vector<std::string> lines;
  // On the run's clock: where the previous unit's last wait ended, and when
  // its event played.
  std::int64_t mark = 0;
  std::int64_t previousPlayedUs = 0;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const TimedUnit& unit = units[i];
    std::int64_t playedUs = mark + unit.leadUs();
    if (i > 0) {
      std::int64_t wantedUs = previousPlayedUs + (unit.recordedUs() - units[i - 1].recordedUs());
      for (std::uint32_t ms : WaitsFor(wantedUs - playedUs)) {
        lines.push_back(WaitLine(ms));
        playedUs += WaitLineCostUs(ms);
      }
    }
    lines.insert(lines.end(), unit.lines().begin(), unit.lines().end());
    previousPlayedUs = playedUs;
    mark = playedUs + unit.tailUs();
  }
  return lines;
}

}  // namespace kestro
