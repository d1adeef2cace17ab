#include "app/recording_controller.h"

#include <string>

#include "platform/win32/gbk_text_win32.h"
#include "resource_ids.h"

namespace kestro {
namespace {

void SetRecordMenuText(HWND dialog, std::string_view text) {
  std::wstring wide = WideFromGbk(text);
  ModifyMenuW(GetMenu(dialog), IDM_RECORD, MF_BYCOMMAND | MF_STRING, IDM_RECORD, wide.c_str());
  DrawMenuBar(dialog);
}

}  // namespace

RecordingController::RecordingController(HWND dialog, MainWindow& window, ScriptRunner& runner,
                                         const HotkeyRegistrar& hotkeys, Input& input)
    : runner_(runner),
      recording_(window, hooks_, input,
                 {[&runner] { return runner.HasActiveRunner(); },
                  [&hotkeys] { return RegisteredHotkeys(hotkeys.values()); },
                  [dialog](std::string_view text) { SetRecordMenuText(dialog, text); },
                  [dialog](unsigned recording) {
                    PostMessageW(dialog, kHooksLostMessage, recording, 0);
                  }}) {}

void RecordingController::RunCommand() {
  if (recording_.IsActive()) return;
  runner_.StartRun();
}

void RecordingController::StopCommand() {
  runner_.RequestStop();
  recording_.Stop();
}

void RecordingController::RecordCommand() { recording_.Toggle(); }

void RecordingController::HooksLost(WPARAM recording) {
  recording_.Interrupt(static_cast<unsigned>(recording));
}

std::vector<HotkeyCombination> RegisteredHotkeys(const HotkeyValues& values) {
  const HotkeyCombination all[] = {{values.runModifiers, values.runKey},
                                   {values.stopModifiers, values.stopKey},
                                   {values.captureModifiers, values.captureKey},
                                   {values.recordModifiers, values.recordKey}};
  std::vector<HotkeyCombination> registered;
  for (const HotkeyCombination& hotkey : all) {
    if (hotkey.key != kNoHotkeyKey) registered.push_back(hotkey);
  }
  return registered;
}

}  // namespace kestro
