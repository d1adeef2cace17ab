// Fuzz target: what the recording hooks saw, to the conversion into lines.
// Whatever the events (presses without releases, releases of keys held at
// the start, presses at the program's own windows, hotkeys, times that run
// backwards), every line is one the program reads and a file gives back;
// played in virtual time the lines give exactly the button and key
// transitions the recording kept, at the places recorded, in order; and
// they leave no key and no button down.
//
// Input: byte 0 holds the double-click time in 10 ms steps (bits 0-5) and
// how many hotkeys follow (bits 6-7), two bytes each (modifiers, key); then
// a byte whose bits 0-2 say how many keys were down at the start, one byte
// each; then events of six bytes: kind (low nibble, of ten; bit 7 aimed at
// the program's own window, bit 6 a jump of hours), time since the event
// before (two bytes, in 64 us), x and y (signed, in steps of 7 pixels) and
// the virtual key, or for the wheel its turn (signed, in eighths of a
// notch). Turns of the wheel may merge and carry parts of a notch: the
// notches played are the turns' sum, less a part of one notch.
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "recorder/key_arguments.h"
#include "recorder/recorded_transitions.h"
#include "recorder/recording_conversion.h"
#include "resource_ids.h"
#include "runner/script_runner.h"
#include "script/script_file.h"
#include "script/script_language.h"
#include "testing/fake_input.h"
#include "testing/fake_main_window.h"

namespace kestro::fuzz {
namespace {

constexpr std::size_t kMaxLineBytes = 63;

struct Reader {
  std::string_view bytes;
  std::size_t pos = 0;
  bool More() const { return pos < bytes.size(); }
  std::uint8_t Next() { return More() ? static_cast<std::uint8_t>(bytes[pos++]) : 0; }
};

HookCapture ReadCapture(Reader& in, ConversionSettings& settings) {
  std::uint8_t head = in.Next();
  settings.doubleClickTimeMs = (head & 0x3F) * 10u;
  for (int i = head >> 6; i > 0; --i) {
    int modifiers = in.Next() & 0x0F;
    settings.hotkeys.push_back({modifiers, in.Next()});
  }
  HookCapture capture;
  for (int i = in.Next() & 7; i > 0; --i) capture.keysDownAtStart.push_back(in.Next());
  std::int64_t now = 0;
  while (in.More()) {
    std::uint8_t kind = in.Next();
    std::int64_t delta = in.Next() | in.Next() << 8;
    HookEvent event;
    event.kind = static_cast<HookEventKind>((kind & 0x0F) % 10);
    event.toOwnWindow = (kind & 0x80) != 0;
    now += (kind & 0x40) ? delta * 3'600'000'000 : delta * 64;
    // Now and then a step back: the hooks' clock is not trusted blindly.
    event.timeUs = (kind & 0x30) == 0x30 ? now - delta * 64 : now;
    event.x = static_cast<std::int8_t>(in.Next()) * 7;
    event.y = static_cast<std::int8_t>(in.Next()) * 7;
    event.virtualKey = in.Next();
    if (event.kind == HookEventKind::Wheel)
      event.wheelDelta = static_cast<std::int8_t>(event.virtualKey) * 15;
    capture.events.push_back(event);
  }
  return capture;
}

// A transition as played or kept: "down 0 x,y" for a button (0 left, 1
// right), "key 65 down" for a key.
using Transitions = std::vector<std::string>;

std::string Button(bool down, int button, int x, int y) {
  return std::string(down ? "down " : "up ") + std::to_string(button) + " " + std::to_string(x) +
         "," + std::to_string(y);
}

Transitions KeptOf(const KeptTransitions& kept) {
  Transitions transitions;
  for (const Transition& t : kept.transitions) {
    switch (t.kind) {
      case TransitionKind::ButtonDown:
      case TransitionKind::ButtonUp:
        transitions.push_back(
            Button(t.kind == TransitionKind::ButtonDown, t.rightButton, t.x, t.y));
        break;
      case TransitionKind::KeyDown:
      case TransitionKind::KeyUp:
        transitions.push_back("key " + std::to_string(t.key) +
                              (t.kind == TransitionKind::KeyUp ? " up" : " down"));
        break;
      case TransitionKind::Move:
      case TransitionKind::Wheel:
        break;
    }
  }
  return transitions;
}

std::int64_t WheelTotal(const KeptTransitions& kept) {
  std::int64_t total = 0;
  for (const Transition& t : kept.transitions) total += t.wheelDelta;
  return total;
}

// Plays the lines once and notes the transitions, checking on the way that
// nothing goes down twice or up unpressed, and that all is up at the end.
Transitions Play(const std::vector<std::string>& lines, FakeInput& input,
                 std::int64_t& wheelNotches) {
  FakeMainWindow window;
  window.lines = lines;
  window.texts[IDC_REPEAT_COUNT] = "1";
  Transitions played;
  int x = 0, y = 0;
  std::array<bool, 256> keys{};
  bool buttons[2] = {};
  input.calls.clear();
  input.virtualTimeUs = 0;
  input.onCall = [&](const std::string& call) {
    int a = 0, b = 0;
    char direction[8] = {};
    if (std::sscanf(call.c_str(), "move %d,%d", &a, &b) == 2) {
      x = a;
      y = b;
    } else if (std::sscanf(call.c_str(), "mouse %d", &a) == 1) {
      // A click's one call presses and then releases.
      const struct {
        int flag;
        bool down;
        int button;
      } bits[] = {{2, true, 0}, {8, true, 1}, {4, false, 0}, {16, false, 1}};
      for (const auto& bit : bits) {
        if (!(a & bit.flag)) continue;
        Require(buttons[bit.button] != bit.down, "a button goes down and up in turn");
        buttons[bit.button] = bit.down;
        played.push_back(Button(bit.down, bit.button, x, y));
      }
    } else if (std::sscanf(call.c_str(), "wheel %d", &a) == 1) {
      wheelNotches += a;
    } else if (std::sscanf(call.c_str(), "key %d %7s", &a, direction) == 2) {
      bool down = std::string_view(direction) == "down";
      Require(down || keys[a], "a key goes up only after it went down");
      keys[a] = down;
      played.push_back(call);
    }
  };
  ScriptRunner runner(window, input, input, [](std::function<void()> body) {
    body();
    return true;
  });
  runner.StartRun();
  input.onCall = nullptr;
  Require(window.messages.empty(), "every recorded line is well formed");
  Require(!buttons[0] && !buttons[1], "no button stays down");
  for (bool down : keys) Require(!down, "no key stays down");
  return played;
}

}  // namespace
}  // namespace kestro::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestro;
  using namespace kestro::fuzz;
  static FakeInput input;  // a US layout, built once
  Reader in{AsText(data, size)};
  ConversionSettings settings;
  HookCapture capture = ReadCapture(in, settings);
  settings.keyCharacters = KeyCharactersOf(input);

  ConvertedRecording converted = ConvertRecording(capture, settings);
  for (const std::string& line : converted.lines) {
    Require(line.size() <= kMaxLineBytes, "a recorded line fits the runner's 63 bytes");
  }
  Require(ParseScriptText(ComposeScriptText("1", converted.lines)).lines == converted.lines,
          "recorded lines come back unchanged from a file");
  KeptTransitions kept = KeepTransitions(capture, settings);
  std::int64_t notches = 0;
  Require(Play(converted.lines, input, notches) == KeptOf(kept),
          "the lines play the kept transitions, in order, at their places");
  std::int64_t unplayed = WheelTotal(kept) - notches * kWheelDeltaPerNotch;
  Require(unplayed > -kWheelDeltaPerNotch && unplayed < kWheelDeltaPerNotch,
          "the wheel turns the notches recorded");
  return 0;
}
