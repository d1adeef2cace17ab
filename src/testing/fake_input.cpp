#include "testing/fake_input.h"

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

void FakeInput::MouseEvent(std::uint32_t flags) { Record("mouse " + std::to_string(flags)); }

void FakeInput::MoveCursor(int x, int y) {
  Record("move " + std::to_string(x) + "," + std::to_string(y));
}

void FakeInput::KeyEvent(std::uint8_t virtualKey, bool release) {
  Record("key " + std::to_string(virtualKey) + (release ? " up" : " down"));
}

std::uint16_t FakeInput::ScanCharacter(char character) {
  scanned.push_back(character);
  auto it = layout.find(static_cast<unsigned char>(character));
  return it == layout.end() ? 0xFFFF : it->second;
}

void FakeInput::Wait(std::uint32_t milliseconds) {
  virtualTimeMs += milliseconds;
  Record("wait " + std::to_string(milliseconds));
}

void FakeInput::RunStarting() { Record("run starting"); }
void FakeInput::RunFinished() { Record("run finished"); }

}  // namespace kestro
