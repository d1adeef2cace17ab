#include "testing/fake_input.h"

#include <algorithm>
#include <cstdio>

namespace kestro {

FakeInput::FakeInput() {
  for (char c = 'a'; c <= 'z'; ++c) layout[c] = static_cast<std::uint16_t>(c - 'a' + 'A');
  for (char c = 'A'; c <= 'Z'; ++c) layout[c] = static_cast<std::uint16_t>(kScanShiftBit | c);
  for (char c = '0'; c <= '9'; ++c) layout[c] = static_cast<std::uint16_t>(c);
  const std::string shiftedDigits = ")!@#$%^&*(";
  for (int i = 0; i < 10; ++i) {
    layout[shiftedDigits[i]] = static_cast<std::uint16_t>(kScanShiftBit | ('0' + i));
  }
  layout[' '] = 0x20;
  layout[';'] = 0xBA;
  layout[':'] = kScanShiftBit | 0xBA;
  layout[','] = 0xBC;
  layout['.'] = 0xBE;
  layout['\t'] = 0x09;
  layout['\r'] = 0x0D;
}

void FakeInput::Record(std::string call) {
  calls.push_back(std::move(call));
  if (onCall) onCall(calls.back());
}

void FakeInput::Advance(std::int64_t microseconds) {
  virtualTimeUs += microseconds;
  virtualTimeMs = static_cast<std::uint64_t>(virtualTimeUs / 1000);
}

void FakeInput::MouseEvent(std::uint32_t flags) {
  Record("mouse " + std::to_string(flags));
  Advance(eventCostUs);
}

void FakeInput::MoveCursor(int x, int y) {
  Record("move " + std::to_string(x) + "," + std::to_string(y));
  Advance(eventCostUs);
}

void FakeInput::KeyEvent(std::uint8_t virtualKey, bool release) {
  Record("key " + std::to_string(virtualKey) + (release ? " up" : " down"));
  Advance(eventCostUs);
}

std::uint16_t FakeInput::ScanCharacter(char character) {
  scanned.push_back(character);
  auto it = layout.find(static_cast<unsigned char>(character));
  return it == layout.end() ? 0xFFFF : it->second;
}

void FakeInput::UnicodeKeyEvent(std::uint16_t unit, bool release) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "%04X", unit);
  Record(std::string("unicode ") + hex + (release ? " up" : " down"));
  Advance(eventCostUs);
}

void FakeInput::WheelEvent(int notches) {
  Record("wheel " + std::to_string(notches));
  Advance(eventCostUs);
}

std::uint32_t FakeInput::ScreenPixel(int x, int y) {
  ++screenReads;
  return screen ? screen(x, y) : 0;
}

void FakeInput::WaitUntil(std::int64_t deadlineMicroseconds) {
  std::int64_t blocked =
      std::max<std::int64_t>(deadlineMicroseconds - virtualTimeUs, 0) + waitLateUs;
  Advance(blocked);
  std::string call = "wait " + std::to_string(blocked / 1000);
  if (blocked % 1000 != 0) {
    std::string fraction = std::to_string(1000 + blocked % 1000).substr(1);
    call += "." + fraction.substr(0, fraction.find_last_not_of('0') + 1);
  }
  Record(std::move(call));
}

void FakeInput::RunStarting() { Record("run starting"); }
void FakeInput::RunFinished() { Record("run finished"); }

}  // namespace kestro
