#include "hotkeys/hotkey_registrar.h"

#include <cstdio>
#include <iterator>
#include <string>

#include "hotkeys/options_dialog.h"
#include "resource_ids.h"
#include "text/system_texts.h"

namespace kestro {
namespace {

struct HotkeyRow {
  Hotkey hotkey;
  int HotkeyValues::*modifiers;
  int HotkeyValues::*key;
  std::string_view refusal;  // shown when the platform refuses the registration
};

// In registration order.
constexpr HotkeyRow kHotkeys[] = {
    {Hotkey::Run, &HotkeyValues::runModifiers, &HotkeyValues::runKey, text::kRunHotkeyRefused},
    {Hotkey::Stop, &HotkeyValues::stopModifiers, &HotkeyValues::stopKey, text::kStopHotkeyRefused},
    {Hotkey::Capture, &HotkeyValues::captureModifiers, &HotkeyValues::captureKey,
     text::kCaptureHotkeyRefused},
    {Hotkey::Record, &HotkeyValues::recordModifiers, &HotkeyValues::recordKey,
     text::kRecordHotkeyRefused},
};
static_assert(std::size(kHotkeys) == kHotkeyCount);

}  // namespace

void HotkeyRegistrar::Attach(MainWindow* window, NativeWindow nativeWindow, const char* runName,
                             const char* stopName, const char* captureName,
                             const char* recordName) {
  if (!runName || !stopName || !captureName || !recordName) return;
  window_ = window;
  nativeWindow_ = nativeWindow;
  // An id of 0 (the atom table refused the name) goes to the platform as it is.
  ids_[0] = platform_.AddGlobalAtom(runName);
  ids_[1] = platform_.AddGlobalAtom(stopName);
  ids_[2] = platform_.AddGlobalAtom(captureName);
  ids_[3] = platform_.AddGlobalAtom(recordName);
}

void HotkeyRegistrar::RegisterAll() {
  // Without a window there is nobody to own the hotkeys or the messages.
  if (!window_) return;
  for (std::size_t i = 0; i < std::size(kHotkeys); ++i) {
    const HotkeyRow& row = kHotkeys[i];
    int key = values_.*row.key;
    if (key == kNoHotkeyKey) continue;
    if (platform_.RegisterHotkey(nativeWindow_, ids_[i], values_.*row.modifiers, key)) continue;
    // Nobody asked for the default record hotkey: its refusal is no news.
    if (row.hotkey == Hotkey::Record && !recordChosen_) continue;
    if (quiet_) continue;
    window_->ShowMessage(BoxOwner::MainWindow, row.refusal, text::kNoticeCaption, kBoxOk);
  }
}

bool HotkeyRegistrar::Matches(Hotkey hotkey, int modifiers, int key) const {
  switch (hotkey) {
    case Hotkey::Run:
      return modifiers == values_.runModifiers && key == values_.runKey;
    case Hotkey::Stop:
      return modifiers == values_.stopModifiers && key == values_.stopKey;
    case Hotkey::Capture:
      return modifiers == values_.captureModifiers && key == values_.captureKey;
    case Hotkey::Record:
      return modifiers == values_.recordModifiers && key == values_.recordKey;
  }
  return false;
}

void HotkeyRegistrar::UnregisterAll() {
  if (!window_) return;
  for (std::uint16_t id : ids_) platform_.UnregisterHotkey(nativeWindow_, id);
}

void HotkeyRegistrar::HandleHotkeyMessage(std::uintptr_t lParam) {
  HandleHotkey(static_cast<int>(lParam & 0xFFFF), static_cast<int>(lParam >> 16 & 0xFFFF));
}

void HotkeyRegistrar::HandleHotkey(int modifiers, int key) {
  if (Matches(Hotkey::Run, modifiers, key)) {
    if (actions_.startRun) actions_.startRun();
    return;
  }
  if (Matches(Hotkey::Stop, modifiers, key)) {
    if (actions_.requestStop) actions_.requestStop();
    return;
  }
  if (Matches(Hotkey::Capture, modifiers, key)) {
    Capture();
    return;
  }
  if (Matches(Hotkey::Record, modifiers, key) && actions_.toggleRecording) {
    actions_.toggleRecording();
  }
}

// The position goes into the move-cursor fields of the editor, so the point
// can be inserted as a script line at once; the colour is shown as the
// platform reports it, 0x00BBGGRR, so its digits read blue, green, red.
// Point and digits go into the colour wait's fields as well.
void HotkeyRegistrar::Capture() {
  if (!window_) return;
  ScreenPoint point = platform_.CursorPosition();
  window_->SetControlText(IDC_TARGET_X, std::to_string(point.x));
  window_->SetControlText(IDC_TARGET_Y, std::to_string(point.y));
  char digits[16] = {};
  std::snprintf(digits, sizeof digits, "%06X",
                static_cast<unsigned>(platform_.ScreenPixel(point.x, point.y)));
  window_->SetControlText(IDC_COLOUR_TEXT, std::string(text::kColourPrefix) + digits);
  window_->SetControlText(IDC_COLOUR_X, std::to_string(point.x));
  window_->SetControlText(IDC_COLOUR_Y, std::to_string(point.y));
  window_->SetControlText(IDC_COLOUR_VALUE, digits);
}

void RegisterHotkeysAtStartup(HotkeyRegistrar& registrar, HotkeySettings& settings,
                              MainWindow* window, NativeWindow nativeWindow) {
  registrar.Attach(window, nativeWindow, "Run", "Over", "XY", "Record");
  settings.Load();
  registrar.CopyFrom(settings);
  registrar.RegisterAll();
}

void ReregisterHotkeysAfterOptions(int dialogResult, HotkeyRegistrar& registrar,
                                   HotkeySettings& settings) {
  if (dialogResult != kOptionsConfirmed) return;
  registrar.UnregisterAll();
  settings.Load();
  registrar.CopyFrom(settings);
  registrar.RegisterAll();
}

void UnregisterHotkeysAtExit(HotkeyRegistrar& registrar) { registrar.UnregisterAll(); }

}  // namespace kestro
