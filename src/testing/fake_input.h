// A recording input for tests, and the clock its waits run on: every event
// and wait lands in `calls` in order, and time is virtual, so a run of many
// seconds takes microseconds. Pass it as both the input and the clock.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/input.h"

namespace kestro {

class FakeInput : public Input, public Clock {
 public:
  // A US layout: letters, digits and the usual punctuation, shifted where
  // the US keyboard needs Shift; other bytes give 0xFFFF.
  FakeInput();

  void MouseEvent(std::uint32_t flags) override;
  void MoveCursor(int x, int y) override;
  void KeyEvent(std::uint8_t virtualKey, bool release) override;
  std::uint16_t ScanCharacter(char character) override;
  void UnicodeKeyEvent(std::uint16_t unit, bool release) override;
  void WheelEvent(int notches) override;
  std::uint32_t ScreenPixel(int x, int y) override;
  std::int64_t NowMicroseconds() override { return virtualTimeUs; }
  void WaitUntil(std::int64_t deadlineMicroseconds) override;
  void RunStarting() override;
  void RunFinished() override;

  // Calls as text: "wait 100", "mouse 6", "move 10,20", "key 65 down",
  // "key 65 up", "unicode 5F20 down" (hexadecimal), "wheel -3", "run
  // starting", "run finished". A wait is the time it blocked, in
  // milliseconds ("wait 97.5" when not whole). Screen reads are not calls.
  std::vector<std::string> calls;
  // Bytes given to ScanCharacter, in order.
  std::string scanned;
  // The clock: waits advance it to their deadline, and every event, cursor
  // move and key event advances it by eventCostUs, as if the system took
  // that long.
  std::int64_t virtualTimeUs = 0;
  std::uint64_t virtualTimeMs = 0;
  std::int64_t eventCostUs = 0;
  // How much later than its deadline each wait ends, as a timer's jitter.
  std::int64_t waitLateUs = 0;
  std::map<unsigned char, std::uint16_t> layout;
  // The screen's colour at a point, on the virtual clock; black when unset.
  std::function<std::uint32_t(int x, int y)> screen;
  int screenReads = 0;
  // Called after each recorded call, e.g. to request a stop mid-run.
  std::function<void(const std::string& call)> onCall;

 private:
  void Record(std::string call);
  void Advance(std::int64_t microseconds);
};

}  // namespace kestro
