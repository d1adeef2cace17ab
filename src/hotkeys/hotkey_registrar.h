// The four global hotkeys (run the script, stop it, capture the cursor
// position and the colour under it, start or stop a recording): their
// registration for the main window, the three places that (re)register
// them, and the dispatch of one hotkey message.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "hotkeys/hotkey_settings.h"
#include "platform/hotkey_platform.h"
#include "platform/main_window.h"

namespace kestro {

enum class Hotkey { Run = 1, Stop = 2, Capture = 3, Record = 4 };
constexpr int kHotkeyCount = 4;

// What the run, stop and record hotkeys do: the script runner's start rule,
// the stop request (of a run and of a recording), and starting or ending a
// recording.
struct RunActions {
  std::function<void()> startRun;
  std::function<void()> requestStop;
  std::function<void()> toggleRecording;
};

class HotkeyRegistrar {
 public:
  HotkeyRegistrar(HotkeyPlatform& platform, RunActions actions)
      : platform_(platform), actions_(std::move(actions)) {}

  // Stores the window that owns the registrations, receives the hotkey
  // messages and shows the refusals, and makes the four ids from the atom
  // names in the order run, stop, capture, record. Any null name: nothing at
  // all.
  void Attach(MainWindow* window, NativeWindow nativeWindow, const char* runName,
              const char* stopName, const char* captureName, const char* recordName);
  void CopyFrom(const HotkeySettings& settings) {
    values_ = settings.values();
    recordChosen_ = settings.recordChosen();
  }
  // Registers run, stop, capture and record in that order, each on its own:
  // a key code of 1 is skipped silently, a refusal shows that hotkey's
  // message, except for a record hotkey the user never chose.
  void RegisterAll();
  // A start that plays a script for a scheduled task must not wait on a
  // box: its refusals go unreported.
  void KeepRefusalsQuiet() { quiet_ = true; }
  bool Matches(Hotkey hotkey, int modifiers, int key) const;
  // Releases all four ids, registered or not.
  void UnregisterAll();

  // One hotkey message, whose lParam holds the modifiers in its low word and
  // the key in its high word; the id in wParam plays no part.
  void HandleHotkeyMessage(std::uintptr_t lParam);
  // A press: the first of run, stop, capture, record whose combination it
  // is acts.
  void HandleHotkey(int modifiers, int key);

  const HotkeyValues& values() const { return values_; }

 private:
  void Capture();

  HotkeyPlatform& platform_;
  RunActions actions_;
  MainWindow* window_ = nullptr;
  NativeWindow nativeWindow_ = nullptr;
  std::uint16_t ids_[kHotkeyCount] = {};
  HotkeyValues values_;
  bool recordChosen_ = false;
  bool quiet_ = false;
};

// The three registration sequences of the main window.
// At its initialisation: attach to it as "Run", "Over", "XY", "Record", load
// the settings file and register.
void RegisterHotkeysAtStartup(HotkeyRegistrar& registrar, HotkeySettings& settings,
                              MainWindow* window, NativeWindow nativeWindow);
// After the options dialog: when it ended with OK, release all four and
// register again from the settings file (not from the dialog), so hotkeys
// the dialog left alone come back without a message. Any other result
// leaves the registrations in force.
void ReregisterHotkeysAfterOptions(int dialogResult, HotkeyRegistrar& registrar,
                                   HotkeySettings& settings);
// At process end, after the main window has ended.
void UnregisterHotkeysAtExit(HotkeyRegistrar& registrar);

}  // namespace kestro
