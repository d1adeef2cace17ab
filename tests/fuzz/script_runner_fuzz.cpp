// Fuzz target: a script list and repeat setting to a run of the script
// runner, in virtual time. The run must end, count its passes by its rules
// (the repeat count, the loop box, and a stop request that lets the pass in
// progress finish), refuse a second start while it lasts, and play every
// pass as exactly the lines played one by one, each after its 10 ms.
//
// Input: the first byte's bit 0 ticks the loop box, its bits 1 to 5 say
// after how many input calls (1 to 32) a stop is requested, and its bit 7
// makes the first start fail for want of a thread; the bytes up to the first
// LF are the repeat-count text, and every LF-separated piece after it is one
// line of the list.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "resource_ids.h"
#include "runner/line_executor.h"
#include "runner/script_runner.h"
#include "testing/fake_input.h"
#include "testing/fake_main_window.h"
#include "text/decimal.h"
#include "text/system_texts.h"

namespace kestro::fuzz {
namespace {

using Calls = std::vector<std::string>;

// A pass over an empty list plays no input at all, so a loop of them is
// stopped by the window once it has counted this many passes.
constexpr int kMaxPasses = 8;

class PassCountingWindow : public FakeMainWindow {
 public:
  void SetStatusText(int part, std::string_view text) override {
    FakeMainWindow::SetStatusText(part, text);
    if (part != 1 || text.empty()) return;
    ++passes;
    if (passes == kMaxPasses) onPassLimit();
  }
  int passes = 0;
  std::function<void()> onPassLimit;
};

struct Script {
  bool loop = false;
  std::size_t stopAfterCalls = 1;
  bool firstStartFails = false;
  std::string repeatCount;
  std::vector<std::string> lines;
};

Script ReadScript(std::string_view input) {
  Script script;
  if (input.empty()) return script;
  auto control = static_cast<unsigned char>(input.front());
  script.loop = (control & 1) != 0;
  script.stopAfterCalls = 1 + ((control >> 1) & 31);
  script.firstStartFails = (control & 128) != 0;
  input.remove_prefix(1);
  std::size_t end = input.find('\n');
  script.repeatCount = input.substr(0, end);
  while (end != std::string_view::npos) {
    input.remove_prefix(end + 1);
    if (input.empty()) break;
    end = input.find('\n');
    script.lines.emplace_back(input.substr(0, end));
  }
  return script;
}

// When the stop was asked for: after how many counted passes, and whether
// between two passes (before the first one or after the last) or inside one.
struct StopRequest {
  bool requested = false;
  int passesDone = 0;
  bool betweenPasses = false;
};

}  // namespace
}  // namespace kestro::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestro;
  using namespace kestro::fuzz;
  Script script = ReadScript(AsText(data, size));

  // One pass as the lines played one by one; fakes kept for the whole run,
  // so the layout map is built once.
  static FakeInput lineInput;
  FakeMainWindow lineWindow;
  Calls pass;
  for (const std::string& line : script.lines) {
    pass.push_back("wait 10");
    lineInput.calls.clear();
    lineInput.scanned.clear();
    ExecuteLine(line, lineInput, lineInput, lineWindow);
    pass.insert(pass.end(), lineInput.calls.begin(), lineInput.calls.end());
  }

  static FakeInput input;
  input.calls.clear();
  input.scanned.clear();
  input.virtualTimeMs = 0;
  PassCountingWindow window;
  window.texts[IDC_REPEAT_COUNT] = script.repeatCount;
  window.checks[IDC_LOOP] = script.loop;
  window.lines = script.lines;

  int launches = 0;
  bool threads = !script.firstStartFails;
  ScriptRunner runner(window, input, input, [&](std::function<void()> body) {
    ++launches;
    if (!threads) return false;
    body();
    return true;
  });
  if (!threads) {
    // A start without a thread plays nothing and must not keep later
    // starts from working.
    runner.StartRun();
    Require(input.calls.empty() && window.statusLog.empty(), "no thread, no run");
    Require(!runner.IsRunning() && !runner.HasActiveRunner(), "a failed start leaves no flag set");
    threads = true;
  }
  StopRequest stop;
  auto requestStop = [&](bool betweenPasses) {
    if (stop.requested) return;
    stop = {true, window.passes, betweenPasses};
    runner.RequestStop();
  };
  window.onPassLimit = [&] { requestStop(true); };
  input.onCall = [&](const std::string& call) {
    // A start request in the middle of a run, also after the stop request
    // while the last pass is still playing, must change nothing.
    runner.StartRun();
    if (input.calls.size() == script.stopAfterCalls) {
      requestStop(call == "run starting" || call == "run finished");
    }
  };
  runner.StartRun();
  input.onCall = nullptr;

  Require(launches == (script.firstStartFails ? 2 : 1),
          "one start request starts one run, and no other does during it");
  Require(!runner.IsRunning() && !runner.HasActiveRunner(), "a finished run leaves no flag set");

  int count = DecimalReadingInt(script.repeatCount);
  bool counted = !script.loop && count >= 0;
  int passes = count;
  if (stop.requested) {
    passes = stop.passesDone + (stop.betweenPasses ? 0 : 1);
    if (counted) passes = std::min(passes, count);
  } else {
    Require(counted, "only a counted run ends without a stop request");
  }
  Require(window.passes == passes, "the run makes the passes its count and the stop allow");

  Calls expected = {"run starting"};
  if (passes > 0) expected.push_back("wait 1000");
  for (int i = 0; i < passes; ++i) expected.insert(expected.end(), pass.begin(), pass.end());
  expected.push_back("run finished");
  Require(input.calls == expected, "every pass plays each line after its 10 ms");

  std::vector<ShownMessage> boxes;
  for (int i = 0; i < passes; ++i) {
    boxes.insert(boxes.end(), lineWindow.messages.begin(), lineWindow.messages.end());
  }
  Require(window.messages == boxes, "every pass shows the lines' boxes");
  Calls status = {"0:" + std::string(text::kRunningStatus), "1:"};
  for (int i = 1; i <= passes; ++i) {
    status.push_back("1:" + std::string(text::kPassCountPrefix) + std::to_string(i) +
                     std::string(text::kPassCountSuffix));
  }
  status.push_back("0:" + std::string(text::kRunFinishedStatus));
  Require(window.statusLog == status, "the status bar counts the passes");
  return 0;
}
