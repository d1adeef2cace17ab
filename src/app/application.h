// The process-wide objects of the Windows program. They are made once and
// never destroyed: threads still running when the main window ends (a
// script run, the update check) end with the process and may still use
// them.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "app/main_window.h"
#include "app/play_controller.h"
#include "app/recording_controller.h"
#include "app/update_server.h"
#include "hotkeys/hotkey_registrar.h"
#include "hotkeys/hotkey_settings.h"
#include "hotkeys/options_dialog.h"
#include "platform/clock.h"
#include "platform/file_dialogs.h"
#include "platform/files.h"
#include "platform/hotkey_platform.h"
#include "platform/input.h"
#include "platform/program_launcher.h"
#include "platform/settings_store.h"
#include "runner/held_input.h"
#include "runner/script_runner.h"
#include "update/update_checker.h"

namespace kestro {

struct Application {
  HINSTANCE instance = nullptr;
  SystemClock clock;
  SystemInput systemInput;
  // What the runner plays through, so keys a run holds can be let go.
  HeldInput input{systemInput};
  SystemFileDialogs fileDialogs;
  SystemFiles files;
  SystemProgramLauncher launcher;
  // Made by the main window's initialisation, once its window exists; it
  // holds the main window's and the status bar's handles.
  std::unique_ptr<Win32MainWindow> mainWindow;
  std::unique_ptr<ScriptRunner> runner;
  // Made with the runner; the run and stop commands go through it, since
  // recording and running exclude each other.
  std::unique_ptr<RecordingController> recording;
  std::unique_ptr<PlayController> play;
  // A script this start was asked to play (--play): played as soon as the
  // main window is ready, which stays hidden in the notification area.
  std::optional<PlayRequest> ownPlay;

  SystemSettingsStore settingsStore;
  HotkeySettings hotkeySettings{settingsStore};
  HotkeyChoiceTables hotkeyChoices;
  SystemHotkeyPlatform hotkeyPlatform;
  HotkeyRegistrar hotkeys{
      hotkeyPlatform,
      {[this] { recording->RunCommand(); }, [this] { recording->StopCommand(); },
       [this] { recording->RecordCommand(); }}};

  SystemUpdatePlatform updatePlatform;
  UpdateChecker updateChecker{updatePlatform.Seams(), UpdateServerSettings()};
};

Application& App();

// When the program ends during a run, lets go of the keys and buttons the
// run still holds; a run that ended or was stopped keeps what it holds.
void ReleaseHeldInputAtExit();

}  // namespace kestro
