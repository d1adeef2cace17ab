// Recording a script: what the user does with mouse and keyboard, written
// into the script list as lines that replay as it was performed. Started
// and ended from the menu or by hotkey; recording and running exclude each
// other. Runs on the user-interface thread; the hooks gather the events on
// a thread of their own.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/input.h"
#include "platform/input_hooks.h"
#include "platform/main_window.h"
#include "recorder/conversion_settings.h"

namespace kestro {

// What the program around a recording provides.
struct RecordingLinks {
  // A run is active (or a stopped one is finishing its pass).
  std::function<bool()> runActive;
  // The program's hotkeys as they are registered now.
  std::function<std::vector<HotkeyCombination>()> hotkeys;
  // Shows the text of the menu command that starts and ends recording.
  std::function<void(std::string_view text)> setMenuText;
  // Called on the hooks' thread when the system took them away: hands the
  // recording's number to the window's thread, which calls Interrupt.
  std::function<void(unsigned recording)> reportHooksLost;
};

class Recording {
 public:
  // The input is the one a run plays through: its character lookup decides
  // which characters are written for keys.
  Recording(MainWindow& window, InputHooks& hooks, Input& input, RecordingLinks links)
      : window_(window), hooks_(hooks), input_(input), links_(std::move(links)) {}

  bool IsActive() const { return active_; }
  // Begins unless recording already or a run is active; a refusal of the
  // hooks is shown in a notice.
  void Start();
  // Ends a recording: its lines go into the list after the selected line,
  // or at the end, the last one selected; the status bar says how many.
  void Stop();
  void Toggle();
  // The hooks of recording number `recording` are gone: it ends as Stop
  // ends it, keeping what came, and the status bar says it was cut short.
  // Another number (a recording that ended already) changes nothing.
  void Interrupt(unsigned recording);

 private:
  MainWindow& window_;
  InputHooks& hooks_;
  Input& input_;
  void Finish(std::string_view status);

  RecordingLinks links_;
  bool active_ = false;
  unsigned number_ = 0;  // of the recording under way, or the last one
};

// Status part 1 after a recording: "录制N行", and "，跳过M键" when keys were
// skipped.
std::string RecordingSummary(std::size_t lines, int skippedKeys);

}  // namespace kestro
