// Process entry: one copy per executable name, the main window as a modal
// dialog for the life of the process, then clean-up of the tray icon and
// the hotkeys.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/main_dialog.h"
#include "app/play_arguments.h"
#include "app/play_handover.h"
#include "app/single_instance.h"
#include "app/tray_icon.h"
#include "app/update_handover.h"
#include "platform/executable_path.h"
#include "platform/text_encoding.h"
#include "platform/win32/gbk_text_win32.h"
#include "resource_ids.h"
#include "script/script_file.h"
#include "text/system_texts.h"

namespace kestro {

Application& App() {
  static Application* app = new Application;  // never destroyed, see application.h
  return *app;
}

}  // namespace kestro

#if defined(__GLIBCXX__)
// A program without a console has nowhere to print an exception's name at
// std::terminate; libstdc++'s own handler would link its 44 KB name
// demangler to do so. This one only ends the program, as that one does.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif

namespace kestro {
namespace {

// The arguments after the program's name, each whole (UTF-16, any folder).
std::vector<NativePath> CommandLineArguments() {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<NativePath> arguments;
  for (int i = 1; words && i < count; ++i) arguments.emplace_back(words[i]);
  if (words) LocalFree(words);
  return arguments;
}

// The file's lines as the menu's "打开" would add them, and its name to
// show; nothing when it cannot be read.
std::optional<PlayRequest> LoadPlayRequest(const PlayArguments& arguments, Files& files) {
  std::optional<std::string> bytes = files.ReadAll(arguments.file);
  if (!bytes) return std::nullopt;
  PlayRequest request;
  request.lines = ParseScriptText(FromDiskLineEnds(*bytes)).lines;
  request.fileName = GbkForDisplay(arguments.file.substr(arguments.file.find_last_of(L"\\/") + 1));
  request.count = arguments.count;
  request.loop = arguments.loop;
  return request;
}

}  // namespace
}  // namespace kestro

// Without arguments the program starts as ever. With --play it plays the
// file and ends with the outcome (or hands it to the copy that runs
// already); bad arguments end it at once with no box, for a scheduled task
// must never wait on one.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  using namespace kestro;
  Application& app = App();
  app.instance = instance;
  PlayArguments arguments = ParsePlayArguments(CommandLineArguments());
  switch (arguments.mode) {
    case PlayArguments::Mode::Bad:
      return kPlayBadArguments;
    case PlayArguments::Mode::Help:
      MessageBoxW(nullptr, WideFromGbk(text::kUsageText).c_str(),
                  WideFromGbk(text::kUsageCaption).c_str(), MB_OK | MB_ICONINFORMATION);
      return 0;
    case PlayArguments::Mode::Play:
      app.ownPlay = LoadPlayRequest(arguments, app.files);
      if (!app.ownPlay) return kPlayUnreadable;
      break;
    case PlayArguments::Mode::Normal:
      break;
  }
  WaitForReplacedCopy(commandLine, app.updatePlatform.processes);
  if (!IsFirstInstance()) return app.ownPlay ? HandOverPlay(*app.ownPlay) : 0;

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  app.hotkeySettings.BuildPath(ExecutableFolder(), kSettingsFileName);
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDialogProc, 0);
  ReleaseHeldInputAtExit();
  // Ending while the update question is open counts as no.
  app.updateChecker.AbandonUpdate();
  RemoveTrayIcon();
  UnregisterHotkeysAtExit(app.hotkeys);
  return app.play ? app.play->exitCode() : 0;
}
