// The last step of turning a recording into lines: waits between the lines,
// so that a run plays every recorded event at its recorded offset from the
// one before. What each line costs when it plays is the script's own
// statement (script/line_costs.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/script_language.h"

namespace kestro {

// A few lines whose timing hangs on one recorded event: the event of the
// last line (for a double click its second click), which comes at `leadUs`
// after the unit begins to play and is followed by `tailUs` of the line's
// own waiting.
class TimedUnit {
 public:
  explicit TimedUnit(std::int64_t recordedUs) : recordedUs_(recordedUs) {}

  // A line of the command, whose time is CostOf(command).
  void Add(CommandId command, std::string line);

  std::int64_t recordedUs() const { return recordedUs_; }
  std::int64_t leadUs() const { return leadUs_; }
  std::int64_t tailUs() const { return tailUs_; }
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  std::int64_t recordedUs_;
  std::int64_t leadUs_ = 0;
  std::int64_t tailUs_ = 0;
  std::vector<std::string> lines_;
};

// The units' lines with "等待时间" lines before the units that the language's
// own costs would play too early. A wait line adds at least 11 ms (its line
// delay and its extra millisecond), so a shortfall under that comes out at
// the nearest the language can do: no wait, or the shortest one. A gap
// shorter than the lines' own cost plays at that cost; every longer one is
// written as recorded, however long. The first unit plays at once.
std::vector<std::string> LinesWithWaits(const std::vector<TimedUnit>& units);

}  // namespace kestro
