// Black-box figures of kestro.exe under Wine, measured from another program
// as a user would meet them: how long a file of 100,000 lines takes to
// load, and how exactly a run's input events keep the timing their script
// writes, seen by low-level hooks on the performance counter. Prints
// figures; asserts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "../tests/e2e/kestro_process.h"
#include "resource_ids.h"
#include "runner/script_runner.h"
#include "testing/fake_input.h"
#include "testing/fake_main_window.h"
#include "testing/gbk_literal.h"

namespace kestro {
namespace {

using e2e::KestroProcess;
using e2e::WaitUntil;

double NowMs() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / frequency;
}

struct TimedEvent {
  std::string what;  // "key 120 down", "lbutton up", ...
  double ms;
};

// Low-level hooks on a thread of their own that note when each injected
// key or button event arrives, and keep it from reaching any window.
class TimedHooks {
 public:
  TimedHooks() {
    instance_ = this;
    thread_ = std::thread([this] { Loop(); });
    while (!threadId_) Sleep(1);
  }
  ~TimedHooks() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  std::vector<TimedEvent> Events() {
    std::lock_guard lock(mutex_);
    return events_;
  }
  std::size_t Count() {
    std::lock_guard lock(mutex_);
    return events_.size();
  }

 private:
  void Loop() {
    HMODULE module = GetModuleHandleW(nullptr);
    HHOOK mouse = SetWindowsHookExW(WH_MOUSE_LL, MouseProc, module, 0);
    HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardProc, module, 0);
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    threadId_ = GetCurrentThreadId();
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    UnhookWindowsHookEx(mouse);
    UnhookWindowsHookEx(keyboard);
  }
  void Add(std::string what, double ms) {
    std::lock_guard lock(mutex_);
    events_.push_back({std::move(what), ms});
  }
  static LRESULT CALLBACK MouseProc(int code, WPARAM message, LPARAM data) {
    double ms = NowMs();
    auto* info = reinterpret_cast<MSLLHOOKSTRUCT*>(data);
    if (code != HC_ACTION || !(info->flags & LLMHF_INJECTED) || message == WM_MOUSEMOVE) {
      return CallNextHookEx(nullptr, code, message, data);
    }
    const char* what = message == WM_LBUTTONDOWN   ? "lbutton down"
                       : message == WM_LBUTTONUP   ? "lbutton up"
                       : message == WM_RBUTTONDOWN ? "rbutton down"
                                                   : "rbutton up";
    instance_->Add(what, ms);
    return 1;
  }
  static LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM data) {
    double ms = NowMs();
    auto* info = reinterpret_cast<KBDLLHOOKSTRUCT*>(data);
    if (code != HC_ACTION || !(info->flags & LLKHF_INJECTED)) {
      return CallNextHookEx(nullptr, code, message, data);
    }
    bool up = (info->flags & LLKHF_UP) != 0;
    instance_->Add("key " + std::to_string(info->vkCode) + (up ? " up" : " down"), ms);
    return 1;
  }

  static inline TimedHooks* instance_ = nullptr;
  std::thread thread_;
  std::mutex mutex_;
  volatile DWORD threadId_ = 0;
  std::vector<TimedEvent> events_;
};

// Seven lines of clicks, key taps and waits; the mouse acts in a corner of
// the screen where no window is.
std::vector<std::string> TimingScript() {
  return {"单击键盘:(F9);"_gbk, "等待时间:37;"_gbk,   "单击鼠标:左键;"_gbk, "单击键盘:(F10);"_gbk,
          "等待时间:250;"_gbk,  "单击鼠标:右键;"_gbk, "单击键盘:(F11);"_gbk};
}

// When each event should come, from the run command on: the same runner in
// virtual time, so the written timing is the program's own reading.
std::vector<TimedEvent> WrittenTimeline(const std::vector<std::string>& lines, int passes) {
  FakeMainWindow window;
  window.lines = lines;
  window.texts[IDC_REPEAT_COUNT] = std::to_string(passes);
  FakeInput input;
  std::vector<TimedEvent> events;
  input.onCall = [&](const std::string& call) {
    double ms = static_cast<double>(input.virtualTimeUs) / 1000.0;
    if (call.rfind("key ", 0) == 0) events.push_back({call, ms});
    if (call == "mouse 6") {
      events.push_back({"lbutton down", ms});
      events.push_back({"lbutton up", ms});
    }
    if (call == "mouse 24") {
      events.push_back({"rbutton down", ms});
      events.push_back({"rbutton up", ms});
    }
  };
  ScriptRunner runner(window, input, [](std::function<void()> body) {
    body();
    return true;
  });
  runner.StartRun();
  return events;
}

void AddLine(HWND list, const std::string& gbkLine) {
  int size = static_cast<int>(gbkLine.size());
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(936, 0, gbkLine.data(), size, wide.data(), size)));
  SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void BenchRunTiming(int passes) {
  KestroProcess kestro;
  if (!kestro.WaitForMainWindow()) return void(std::printf("the program did not start\n"));
  std::vector<std::string> lines = TimingScript();
  for (const std::string& line : lines) AddLine(kestro.Control(IDC_SCRIPT_LIST), line);
  kestro.SetText(IDC_REPEAT_COUNT, std::to_wstring(passes));
  std::vector<TimedEvent> written = WrittenTimeline(lines, passes);
  SetCursorPos(1270, 1010);

  TimedHooks hooks;
  double command = NowMs();
  kestro.Command(IDM_RUN);
  int limitMs = static_cast<int>(written.back().ms) + 10000;
  WaitUntil([&] { return hooks.Count() >= written.size(); }, limitMs);
  std::vector<TimedEvent> seen = hooks.Events();
  if (seen.size() != written.size()) {
    std::printf("run of %d passes: %zu events seen, %zu written\n", passes, seen.size(),
                written.size());
    return;
  }
  // Gaps between events that the script separates, measured minus written.
  std::vector<double> errors;
  for (std::size_t i = 1; i < seen.size(); ++i) {
    double writtenGap = written[i].ms - written[i - 1].ms;
    if (writtenGap <= 0) continue;
    errors.push_back((seen[i].ms - seen[i - 1].ms) - writtenGap);
  }
  if (errors.empty()) return void(std::printf("no gaps to compare\n"));
  std::sort(errors.begin(), errors.end());
  // Where a long run's extra time comes from: every gap a little, or a few
  // stalls of the machine.
  double stalled = 0;
  std::size_t stalls = 0;
  for (double error : errors) {
    if (error <= 1.0) continue;
    stalled += error;
    ++stalls;
  }
  double first = seen.front().ms - command;
  double span = seen.back().ms - seen.front().ms;
  double writtenSpan = written.back().ms - written.front().ms;
  std::printf("run of %d passes x %zu lines: run command to first event %.2f ms (written %.0f)\n",
              passes, lines.size(), first, written.front().ms);
  std::printf("  first to last event %.1f ms, written %.0f ms, ratio %.5f\n", span, writtenSpan,
              span / writtenSpan);
  std::printf("  gap between events minus written: %.3f / median %.3f / p99 %.3f / %.3f ms\n",
              errors.front(), errors[errors.size() / 2], errors[errors.size() * 99 / 100],
              errors.back());
  std::printf("  gaps more than 1 ms late: %zu of %zu, %.1f ms in all\n", stalls, errors.size(),
              stalled);
}

void BenchLoad(int lineCount) {
  KestroProcess kestro;
  if (!kestro.WaitForMainWindow()) return void(std::printf("the program did not start\n"));
  std::filesystem::path file = kestro.folder() / L"big.txt";
  {
    std::string text = "执行次数:1\r\n\r\n脚本开始.\r\n"_gbk;
    std::string line = "等待时间:1000;\r\n"_gbk;
    for (int i = 0; i < lineCount; ++i) text += line;
    text += "脚本结束."_gbk;
    std::ofstream(file, std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  kestro.Command(IDM_OPEN);
  e2e::BoxContent dialog = kestro.WaitForBox();
  if (!dialog.window) return void(std::printf("no open dialog\n"));
  double start = NowMs();
  e2e::ChooseFileInDialog(dialog.window, file);
  HWND list = kestro.Control(IDC_SCRIPT_LIST);
  bool loaded =
      WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == lineCount; }, 60000);
  std::printf("load of %6d lines: %s %.0f ms after OK in the open dialog\n", lineCount,
              loaded ? "in the list" : "NOT in the list", NowMs() - start);
}

}  // namespace
}  // namespace kestro

int main() {
  // The open dialog takes its own time to close, which a one-line file shows.
  kestro::BenchLoad(1);
  kestro::BenchLoad(100000);
  kestro::BenchRunTiming(2);
  kestro::BenchRunTiming(100);
  return 0;
}
