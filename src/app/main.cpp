// Process entry: one copy per executable name, the main window as a modal
// dialog for the life of the process, then clean-up of the tray icon and
// the hotkeys.
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "app/application.h"
#include "app/main_dialog.h"
#include "app/single_instance.h"
#include "app/tray_icon.h"
#include "app/update_handover.h"
#include "platform/executable_path.h"
#include "resource_ids.h"

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

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  using namespace kestro;
  Application& app = App();
  app.instance = instance;
  WaitForReplacedCopy(commandLine, app.updatePlatform.processes);
  if (!IsFirstInstance()) return 0;

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  app.hotkeySettings.BuildPath(ExecutableFolder(), kSettingsFileName);
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDialogProc, 0);
  ReleaseHeldInputAtExit();
  // Ending while the update question is open counts as no.
  app.updateChecker.AbandonUpdate();
  RemoveTrayIcon();
  UnregisterHotkeysAtExit(app.hotkeys);
  return 0;
}
