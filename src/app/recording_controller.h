// Recording in the Windows program: the system's input hooks, the text of
// the menu command "录制" / "停止录制", and the rule that recording and
// running exclude each other, for the menu commands and the hotkeys alike.
#pragma once

#include <windows.h>

#include <vector>

#include "hotkeys/hotkey_registrar.h"
#include "platform/input.h"
#include "platform/input_hooks.h"
#include "platform/main_window.h"
#include "recorder/recording.h"
#include "runner/script_runner.h"

namespace kestro {

// Posted to the main dialog by the hooks' thread when the system took the
// hooks away; wParam is the recording's number.
constexpr UINT kHooksLostMessage = WM_APP + 1;

class RecordingController {
 public:
  RecordingController(HWND dialog, MainWindow& window, ScriptRunner& runner,
                      const HotkeyRegistrar& hotkeys, Input& input);

  // "执行脚本" (also Enter) and the run hotkey: nothing while recording.
  void RunCommand();
  // "停止行运" and the stop hotkey: end a run, and a recording.
  void StopCommand();
  // "录制" / "停止录制" and the record hotkey. A recording does not begin
  // while a run, or a stopped run finishing its pass, plays input.
  void RecordCommand();
  bool IsRecording() const { return recording_.IsActive(); }
  // kHooksLostMessage: ends that recording, keeping what it got.
  void HooksLost(WPARAM recording);

 private:
  ScriptRunner& runner_;
  SystemInputHooks hooks_;
  Recording recording_;
};

// The hotkeys that are registered (key code 1 is none), as the recording
// leaves them out.
std::vector<HotkeyCombination> RegisteredHotkeys(const HotkeyValues& values);

}  // namespace kestro
