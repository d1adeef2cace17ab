// Recording benchmarks. Prints figures; asserts nothing.
//   - the round-trip timing error: recorded streams become lines, the lines
//     play through the runner, and each played press is compared with its
//     recorded offset from the press before; in virtual time (the error of
//     the conversion alone, goal at most 0.5 ms) and on the real clock
//     (with the waits as the system keeps them, goal at most 1 ms);
//   - Windows only: how many events per second the hook thread takes in,
//     injected as fast as the system accepts them, and whether any is lost.
#include "recorder_bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/input_hooks.h"
#include "platform/precise_wait.h"
#include "recorder/key_arguments.h"
#include "recorder/recording_conversion.h"
#include "resource_ids.h"
#include "runner/script_runner.h"
#include "testing/fake_input.h"
#include "testing/fake_main_window.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kestro {
namespace {

// Taps and clicks with pauses long enough for every gap to be written as
// recorded (the language's own costs stay below 250 ms).
HookCapture RandomStream(unsigned seed, int gestures) {
  std::mt19937 random(seed);
  auto uniform = [&](int low, int high) {
    return std::uniform_int_distribution(low, high)(random);
  };
  HookCapture capture;
  std::int64_t now = 1'000'000;
  auto add = [&](HookEventKind kind, int x, int y, int key) {
    capture.events.push_back({kind, now, x, y, static_cast<std::uint8_t>(key)});
  };
  for (int i = 0; i < gestures; ++i) {
    now += uniform(250'000, 500'000);
    if (uniform(0, 2) == 0) {
      int x = uniform(0, 1279), y = uniform(0, 1023);
      add(HookEventKind::LeftDown, x, y, 0);
      now += uniform(5'000, 100'000);
      add(HookEventKind::LeftUp, x, y, 0);
    } else {
      int key = 'A' + uniform(0, 25);
      add(HookEventKind::KeyDown, 0, 0, key);
      now += uniform(20'000, 120'000);
      add(HookEventKind::KeyUp, 0, 0, key);
    }
  }
  return capture;
}

std::vector<std::int64_t> PressTimes(const HookCapture& capture) {
  std::vector<std::int64_t> times;
  for (const HookEvent& e : capture.events) {
    if (e.kind == HookEventKind::LeftDown || e.kind == HookEventKind::KeyDown) {
      times.push_back(e.timeUs);
    }
  }
  return times;
}

// Input that notes the time of every press: virtual (FakeInput's clock) or
// real (the monotonic clock and real waits, no input sent anywhere).
class PressClock : public FakeInput {
 public:
  explicit PressClock(bool realTime) : realTime_(realTime) {}
  void MouseEvent(std::uint32_t flags) override {
    if (flags & kMouseLeftDown) presses.push_back(NowMicroseconds());
  }
  void MoveCursor(int, int) override {}
  void KeyEvent(std::uint8_t, bool release) override {
    if (!release) presses.push_back(NowMicroseconds());
  }
  std::int64_t NowMicroseconds() override {
    return realTime_ ? MonotonicMicroseconds() : FakeInput::NowMicroseconds();
  }
  void WaitUntil(std::int64_t deadline) override {
    if (realTime_) return WaitUntilMicroseconds(deadline);
    FakeInput::WaitUntil(deadline);
  }
  void RunStarting() override {
    if (realTime_) timing_.emplace();
  }
  void RunFinished() override { timing_.reset(); }

  std::vector<std::int64_t> presses;

 private:
  bool realTime_;
  std::optional<PreciseTimingScope> timing_;
};

// The played gaps between presses against the recorded ones, in ms.
std::vector<double> GapErrors(const std::vector<std::string>& lines,
                              const std::vector<std::int64_t>& recorded, bool realTime) {
  FakeMainWindow window;
  window.lines = lines;
  window.texts[IDC_REPEAT_COUNT] = "1";
  PressClock input(realTime);
  ScriptRunner runner(window, input, input, [](std::function<void()> body) {
    body();
    return true;
  });
  runner.StartRun();
  std::vector<double> errors;
  if (input.presses.size() != recorded.size()) return errors;
  for (std::size_t i = 1; i < recorded.size(); ++i) {
    std::int64_t played = input.presses[i] - input.presses[i - 1];
    errors.push_back(std::abs(played - (recorded[i] - recorded[i - 1])) / 1000.0);
  }
  return errors;
}

void PrintErrors(const char* what, std::vector<double> errors) {
  if (errors.empty()) {
    std::printf("%s: the played presses do not match the recorded ones\n", what);
    return;
  }
  std::sort(errors.begin(), errors.end());
  auto at = [&](double q) { return errors[static_cast<std::size_t>(q * (errors.size() - 1))]; };
  std::printf("%s: %zu gaps, error in ms median %.3f / p99 %.3f / max %.3f\n", what, errors.size(),
              at(0.5), at(0.99), errors.back());
}

void BenchRoundTripError() {
  ConversionSettings settings;
  FakeInput layout;
  settings.keyCharacters = KeyCharactersOf(layout);

  std::vector<double> virtualErrors;
  for (unsigned seed = 1; seed <= 200; ++seed) {
    HookCapture capture = RandomStream(seed, 50);
    std::vector<double> errors =
        GapErrors(ConvertRecording(capture, settings).lines, PressTimes(capture), false);
    virtualErrors.insert(virtualErrors.end(), errors.begin(), errors.end());
  }
  PrintErrors("round trip, virtual time (200 streams)", virtualErrors);

  HookCapture capture = RandomStream(7, 20);
  auto start = std::chrono::steady_clock::now();
  std::vector<double> realErrors =
      GapErrors(ConvertRecording(capture, settings).lines, PressTimes(capture), true);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  char label[96];
  std::snprintf(label, sizeof label, "round trip, real clock (one %.1f s run)", seconds);
  PrintErrors(label, realErrors);
}

#ifdef _WIN32
// Injects events in batches as fast as SendInput takes them; the rate is
// what the hook thread stamped between the first and the last it saw.
void BenchHookThroughput(const char* what, INPUT first, INPUT second, bool isKey) {
  SystemInputHooks hooks;
  if (!hooks.Start()) {
    std::printf("hooks: refused by the system\n");
    return;
  }
  constexpr int kEvents = 20000;
  std::vector<INPUT> batch(100);
  for (std::size_t i = 0; i < batch.size(); ++i) batch[i] = i % 2 ? second : first;
  for (int sent = 0; sent < kEvents; sent += static_cast<int>(batch.size())) {
    SendInput(static_cast<UINT>(batch.size()), batch.data(), sizeof(INPUT));
  }
  Sleep(300);
  HookCapture capture = hooks.Stop();
  std::vector<std::int64_t> times;
  for (const HookEvent& e : capture.events) {
    bool counted = isKey ? e.virtualKey == first.ki.wVk : e.kind == HookEventKind::Move;
    if (counted) times.push_back(e.timeUs);
  }
  if (times.size() < 2) {
    std::printf("hooks, %s: %zu of %d events seen\n", what, times.size(), kEvents);
    return;
  }
  double seconds = (times.back() - times.front()) / 1e6;
  std::printf("hooks, %s: %d injected, %zu seen (%d lost), %.0f events per second\n", what, kEvents,
              times.size(), kEvents - static_cast<int>(times.size()), (times.size() - 1) / seconds);
}

void BenchHooks() {
  INPUT down{};
  down.type = INPUT_KEYBOARD;
  down.ki.wVk = 0x87;  // F24: no window here reacts to it
  INPUT up = down;
  up.ki.dwFlags = KEYEVENTF_KEYUP;
  BenchHookThroughput("F24 presses and releases", down, up, true);
  INPUT right{};
  right.type = INPUT_MOUSE;
  right.mi.dx = 1;
  right.mi.dwFlags = MOUSEEVENTF_MOVE;
  INPUT left = right;
  left.mi.dx = -1;
  BenchHookThroughput("cursor moves", right, left, false);
}
#endif

}  // namespace

void BenchRecorder() {
  BenchRoundTripError();
#ifdef _WIN32
  BenchHooks();
#endif
}

}  // namespace kestro
