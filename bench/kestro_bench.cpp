// Timing and parsing benchmarks. Prints ratios; asserts nothing.
//   - a real-clock run of a mixed script: measured pass time / specified time
//     (goal at most 1.005, never below 1.000);
//   - the overshoot of single waits (goal: p99 at most 1 ms);
//   - lines executed per second against an input that does nothing.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "bench_scripts.h"
#include "platform/clock.h"
#include "recorder_bench.h"
#include "resource_ids.h"
#include "runner/line_executor.h"
#include "runner/script_runner.h"
#include "testing/fake_main_window.h"

namespace kestro {
namespace {

using Steady = std::chrono::steady_clock;

double Ms(Steady::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Real waits, no input: timing as the product has it, without touching the
// desktop.
class TimedNullInput : public Input, public Clock {
 public:
  void MouseEvent(std::uint32_t) override {}
  void MoveCursor(int, int) override {}
  void KeyEvent(std::uint8_t, bool) override {}
  std::uint16_t ScanCharacter(char c) override { return static_cast<std::uint8_t>(c); }
  void UnicodeKeyEvent(std::uint16_t, bool) override {}
  void WheelEvent(int) override {}
  std::uint32_t ScreenPixel(int, int) override { return 0; }
  std::int64_t NowMicroseconds() override { return MonotonicMicroseconds(); }
  void WaitUntil(std::int64_t deadline) override { WaitUntilMicroseconds(deadline); }
};

class NullInput : public TimedNullInput {
 public:
  std::int64_t NowMicroseconds() override { return 0; }
  void WaitUntil(std::int64_t) override {}
};

void BenchScriptRun() {
  TimedScript script = MixedScript();
  FakeMainWindow window;
  window.lines = script.lines;
  window.texts[IDC_REPEAT_COUNT] = "3";
  TimedNullInput input;
  ScriptRunner runner(window, input, input, [](std::function<void()> body) {
    body();
    return true;
  });
  auto start = Steady::now();
  runner.StartRun();
  double measured = Ms(Steady::now() - start);
  double specified = 1000.0 + 3.0 * script.passMs;
  std::printf("script run: %zu lines x 3 passes, specified %.0f ms, measured %.2f ms, ratio %.5f\n",
              script.lines.size(), specified, measured, measured / specified);
}

// One thread per core spinning at normal priority while it lives: a machine
// as busy as it gets.
class BusyMachine {
 public:
  BusyMachine() {
    unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < cores; ++i) {
      spinners_.emplace_back([this] {
        while (!stop_) spins_.fetch_add(1, std::memory_order_relaxed);
      });
    }
  }
  ~BusyMachine() {
    stop_ = true;
    for (std::thread& spinner : spinners_) spinner.join();
  }
  std::size_t threads() const { return spinners_.size(); }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<std::uint64_t> spins_{0};
  std::vector<std::thread> spinners_;
};

void BenchWaitOvershoot(const char* machine) {
  PreciseTimingScope timing;
  std::printf("wait overshoot in ms, %s (min / median / p99 / max):\n", machine);
  for (unsigned ms : {1u, 2u, 5u, 10u, 16u, 37u, 100u}) {
    int samples = ms >= 37 ? 40 : 150;
    std::vector<double> over;
    for (int i = 0; i < samples; ++i) {
      auto start = Steady::now();
      PreciseWait(ms);
      over.push_back(Ms(Steady::now() - start) - ms);
    }
    std::sort(over.begin(), over.end());
    auto at = [&](double q) { return over[static_cast<std::size_t>(q * (over.size() - 1))]; };
    std::printf("  %4u ms x %3d: %7.3f / %7.3f / %7.3f / %7.3f\n", ms, samples, over.front(),
                at(0.5), at(0.99), over.back());
  }
}

void BenchParsing() {
  std::vector<std::string> lines = ParsingLines();
  FakeMainWindow window;
  NullInput input;
  constexpr int kRounds = 50000;
  auto start = Steady::now();
  for (int round = 0; round < kRounds; ++round) {
    for (const auto& line : lines) ExecuteLine(line, input, input, window);
    window.messages.clear();
  }
  double seconds = Ms(Steady::now() - start) / 1000.0;
  std::printf("parsing: %.0f lines per second (no-op input, %zu line kinds)\n",
              kRounds * lines.size() / seconds, lines.size());
}

}  // namespace
}  // namespace kestro

int main() {
  kestro::BenchParsing();
  kestro::BenchWaitOvershoot("quiet machine");
  {
    kestro::BusyMachine busy;
    char what[64];
    std::snprintf(what, sizeof what, "%zu spinning threads beside it", busy.threads());
    kestro::BenchWaitOvershoot(what);
  }
  kestro::BenchScriptRun();
  kestro::BenchRecorder();
  return 0;
}
