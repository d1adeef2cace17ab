#include "script/line_costs.h"

namespace kestro {
namespace {

constexpr std::int64_t Us(std::uint32_t ms) { return std::int64_t{ms} * 1000; }

}  // namespace

LineCost CostOf(CommandId command, std::uint32_t amount) {
  const std::int64_t line = Us(kLineDelayMs);
  const std::int64_t pause = Us(kButtonPauseMs);
  switch (command) {
    case CommandId::ClickMouse:
    case CommandId::PressMouse:
    case CommandId::ReleaseMouse:
      return {line + pause, pause};
    case CommandId::DoubleClickMouse:
      // Pause, click, pause; pause, click, pause.
      return {line + 3 * pause, pause};
    case CommandId::Wait:
      return {line + Us(amount) + Us(kWaitExtraMs), 0};
    case CommandId::TypeText:
      return {line + Us(kTypingPaceMs) * (amount > 0 ? amount - 1 : 0), 0};
    case CommandId::None:
    case CommandId::MoveMouse:
    case CommandId::TapKey:
    case CommandId::PressKey:
    case CommandId::ReleaseKey:
    case CommandId::KeyCombo:
    case CommandId::WaitColour:
    case CommandId::ScrollWheel:
      return {line, 0};
  }
  return {line, 0};
}

}  // namespace kestro
