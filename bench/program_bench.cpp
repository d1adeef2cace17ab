// Black-box figures of kestro.exe under Wine, measured from another program
// as a user would meet them: how long a file of 100,000 lines takes to
// load, and how exactly a run's input events keep the timing their script
// writes (the first one included), seen by low-level hooks on the
// program's monotonic clock. Also how long the window's thread takes to put
// the lines of a long recording into the list. Prints figures; asserts
// nothing.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "../tests/e2e/kestro_process.h"
#include "app/main_window.h"
#include "resource_ids.h"
#include "runner/script_runner.h"
#include "script/line_costs.h"
#include "script/script_editor.h"
#include "testing/fake_input.h"
#include "testing/fake_main_window.h"
#include "testing/gbk_literal.h"
#include "testing/input_timeline_win32.h"

namespace kestro {
namespace {

using e2e::KestroProcess;
using e2e::WaitUntil;

double NowMs() { return static_cast<double>(MonotonicMicroseconds()) / 1000.0; }

struct TimedEvent {
  std::string what;  // "key 120 down", "lbutton up", ...
  double ms;
};

// Adds the injected key and button events the hooks saw since the last
// call to `seen`; how many it holds then.
std::size_t CollectPlayed(InputTimeline& hooks, std::vector<TimedEvent>& seen) {
  for (const TimedInput& event : hooks.Take()) {
    if (event.injected && event.what != "move") {
      seen.push_back({event.what, static_cast<double>(event.timeUs) / 1000.0});
    }
  }
  return seen.size();
}

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
  ScriptRunner runner(window, input, input, [](std::function<void()> body) {
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

  InputTimeline hooks(Swallow::InjectedKeysAndButtons);
  std::vector<TimedEvent> seen;
  double command = NowMs();
  kestro.Command(IDM_RUN);
  int limitMs = static_cast<int>(written.back().ms) + 10000;
  WaitUntil([&] { return CollectPlayed(hooks, seen) >= written.size(); }, limitMs);
  if (seen.size() != written.size()) {
    std::printf("run of %d passes: %zu events seen, %zu written\n", passes, seen.size(),
                written.size());
    return;
  }
  // Gaps between events that the script separates, measured minus written;
  // and the gaps within one line (a key's press and release), which show
  // what one input call takes while another program's hook sees it: a gap
  // counts from the call's return, so that much adds to every gap.
  std::vector<double> errors;
  std::vector<double> calls;
  for (std::size_t i = 1; i < seen.size(); ++i) {
    double writtenGap = written[i].ms - written[i - 1].ms;
    double gap = seen[i].ms - seen[i - 1].ms;
    if (writtenGap <= 0) {
      if (seen[i].what.rfind("key", 0) == 0) calls.push_back(gap);
      continue;
    }
    errors.push_back(gap - writtenGap);
  }
  std::sort(calls.begin(), calls.end());
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
  std::printf(
      "  gap between events minus written: shortest %.3f / median %.3f / p99 %.3f / longest %.3f "
      "ms\n",
      errors.front(), errors[errors.size() / 2], errors[errors.size() * 99 / 100], errors.back());
  if (!calls.empty()) {
    std::printf("  one key event's call, seen from outside: median %.3f ms, %zu events in all\n",
                calls[calls.size() / 2], seen.size());
  }
  std::printf("  gaps more than 1 ms late: %zu of %zu, %.1f ms in all\n", stalls, errors.size(),
              stalled);
}

// A window of this program in front, as the user's target program would
// be: the layout of the keys a run types is the one of its thread.
class FrontWindow {
 public:
  FrontWindow() {
    thread_ = std::thread([this] {
      HWND window = CreateWindowExW(0, L"EDIT", L"front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                    300, 200, nullptr, nullptr, nullptr, nullptr);
      SetForegroundWindow(window);
      threadId_ = GetCurrentThreadId();
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
      DestroyWindow(window);
    });
    WaitUntil([this] { return threadId_.load() != 0; });
  }
  ~FrontWindow() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }

 private:
  std::thread thread_;
  std::atomic<DWORD> threadId_{0};
};

// From the run command to the first input event of a fresh program's first
// run, minus the written time: whatever the first line asks the system
// first must not make it late.
void BenchFirstEvent(const char* what, const std::vector<std::string>& lines, int takes) {
  std::vector<double> late;
  double written = WrittenTimeline(lines, 1).front().ms;
  FrontWindow front;
  for (int take = 0; take < takes; ++take) {
    KestroProcess kestro;
    if (!kestro.WaitForMainWindow()) return void(std::printf("the program did not start\n"));
    for (const std::string& line : lines) AddLine(kestro.Control(IDC_SCRIPT_LIST), line);
    SetCursorPos(1270, 1010);
    InputTimeline hooks(Swallow::InjectedKeysAndButtons);
    std::vector<TimedEvent> seen;
    double command = NowMs();
    kestro.Command(IDM_RUN);
    if (!WaitUntil([&] { return CollectPlayed(hooks, seen) > 0; }, 5000)) {
      return void(std::printf("%s: no event seen\n", what));
    }
    late.push_back(seen.front().ms - command - written);
  }
  std::sort(late.begin(), late.end());
  std::printf("first event, first line %s: written %.0f ms; late by %.2f / median %.2f / %.2f ms\n",
              what, written, late.front(), late[late.size() / 2], late.back());
}

// The end of a long recording: its lines go into the middle of a list that
// holds lines already, on the window's thread, as the program does it.
void BenchRecordedLines(int existing, int recorded) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr,
                                nullptr, nullptr);
  CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, 0, 0, 200,
                  300, parent, reinterpret_cast<HMENU>(IDC_SCRIPT_LIST), nullptr, nullptr);
  Win32MainWindow window(parent, nullptr);
  window.ListInsert(0, std::vector<std::string>(static_cast<std::size_t>(existing), "a"));
  window.ListSelect(existing / 2);
  std::vector<std::string> lines(static_cast<std::size_t>(recorded), "等待时间:1;"_gbk);
  double start = NowMs();
  InsertScriptLines(window, lines);
  double took = NowMs() - start;
  std::printf("%d recorded lines into the middle of %d: %.0f ms, %s\n", recorded, existing, took,
              window.ListCount() == existing + recorded ? "all in" : "LINES MISSING");
  DestroyWindow(parent);
}

// The processor time the program's process used, in milliseconds.
double CpuMs(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  FILETIME created, exited, kernel, user;
  bool known = process && GetProcessTimes(process, &created, &exited, &kernel, &user);
  if (process) CloseHandle(process);
  if (!known) return 0;
  auto ms = [](FILETIME t) {
    return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) /
           10000.0;
  };
  return ms(kernel) + ms(user);
}

// What a colour wait costs while it looks, against the program idle for as
// long; and the pace a text is typed at, seen from another program.
void BenchTextAndColourLines() {
  KestroProcess kestro;
  if (!kestro.WaitForMainWindow()) return void(std::printf("the program did not start\n"));
  double idleStart = CpuMs(kestro.processId());
  Sleep(10000);
  double idle = CpuMs(kestro.processId()) - idleStart;
  AddLine(kestro.Control(IDC_SCRIPT_LIST), "等待颜色:1279,1023,123456,10000;"_gbk);
  double start = CpuMs(kestro.processId());
  kestro.Command(IDM_RUN);
  WaitUntil([&] { return kestro.StatusText(0) == L"等待颜色超时，已停止"; }, 15000);
  double waiting = CpuMs(kestro.processId()) - start;
  std::printf("10 s colour wait: %.0f ms of processor time (%.2f %% of a core), idle %.0f ms\n",
              waiting, waiting / 110.1, idle);

  const std::string text = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN";
  SendMessageW(kestro.Control(IDC_SCRIPT_LIST), LB_RESETCONTENT, 0, 0);
  AddLine(kestro.Control(IDC_SCRIPT_LIST), "输入文字:"_gbk + text + ";");
  FrontWindow front;
  InputTimeline hooks(Swallow::InjectedKeysAndButtons);
  kestro.Command(IDM_RUN);
  // Each character is the press and release of VK_PACKET (231); the hooks
  // may see both as presses, so every event is counted and a character is
  // every other one.
  std::vector<double> events;
  auto typed = [&] {
    for (const TimedInput& event : hooks.Take()) {
      if (event.what.starts_with("key 231")) events.push_back(event.timeUs / 1000.0);
    }
    return events.size() >= 2 * text.size();
  };
  if (!WaitUntil(typed, 10000) || events.size() != 2 * text.size()) {
    return void(std::printf("%zu key events for 50 characters\n", events.size()));
  }
  std::vector<double> downs;
  for (std::size_t i = 0; i < events.size(); i += 2) downs.push_back(events[i]);
  std::printf("50 characters typed in %.1f ms: %.2f ms a character (written %u)\n",
              downs.back() - downs.front(), (downs.back() - downs.front()) / 49, kTypingPaceMs);
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

// With arguments, only the named figures: load, first, lines, run.
int main(int argc, char** argv) {
  auto wanted = [&](std::string_view name) {
    return argc < 2 || std::find(argv + 1, argv + argc, name) != argv + argc;
  };
  if (wanted("load")) {
    // The open dialog takes its own time to close, which a one-line file shows.
    kestro::BenchLoad(1);
    kestro::BenchLoad(100000);
    kestro::BenchRecordedLines(1000, 60000);
  }
  if (wanted("first")) {
    using kestro::operator""_gbk;
    kestro::BenchFirstEvent("a character key", {"单击键盘:a;"_gbk}, 7);
    kestro::BenchFirstEvent("a named key", {"单击键盘:(F9);"_gbk}, 7);
    kestro::BenchFirstEvent("a click after a move",
                            {"移动鼠标:1270,1000;"_gbk, "单击鼠标:左键;"_gbk}, 7);
  }
  if (wanted("lines")) kestro::BenchTextAndColourLines();
  if (wanted("run")) {
    kestro::BenchRunTiming(2);
    kestro::BenchRunTiming(100);
  }
  return 0;
}
