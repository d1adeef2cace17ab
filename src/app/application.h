// The process-wide objects of the Windows program. They are made once and
// never destroyed: threads still running when the main window ends (a
// script run, the update check) end with the process and may still use
// them.
#pragma once

#include <windows.h>

#include <memory>

#include "app/file_dialogs_win32.h"
#include "app/update_server.h"
#include "app/win32_main_window.h"
#include "hotkeys/hotkey_registrar.h"
#include "hotkeys/hotkey_settings.h"
#include "hotkeys/options_dialog.h"
#include "platform/win32/hotkey_platform_win32.h"
#include "platform/win32/settings_store_win32.h"
#include "platform/win32/win32_input.h"
#include "runner/script_runner.h"
#include "update/update_checker.h"

namespace kestro {

struct Application {
  HINSTANCE instance = nullptr;
  Win32Input input;
  Win32FileDialogs fileDialogs;
  // Made by the main window's initialisation, once its window exists; it
  // holds the main window's and the status bar's handles.
  std::unique_ptr<Win32MainWindow> mainWindow;
  std::unique_ptr<ScriptRunner> runner;

  Win32SettingsStore settingsStore;
  HotkeySettings hotkeySettings{settingsStore};
  HotkeyChoiceTables hotkeyChoices;
  Win32HotkeyPlatform hotkeyPlatform;
  HotkeyRegistrar hotkeys{hotkeyPlatform,
                          {[this] { runner->StartRun(); }, [this] { runner->RequestStop(); }}};

  SystemUpdatePlatform updatePlatform;
  UpdateChecker updateChecker{updatePlatform.Seams(), UpdateServerSettings()};
};

Application& App();

}  // namespace kestro
