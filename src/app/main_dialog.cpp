#include "app/main_dialog.h"

#include <shellapi.h>

#include <string>

#include "app/application.h"
#include "app/help_texts.h"
#include "app/options_dialog.h"
#include "app/play_handover.h"
#include "app/status_bar.h"
#include "app/tray_icon.h"
#include "platform/threads.h"
#include "resource_ids.h"
#include "script/script_editor.h"
#include "script/script_file.h"
#include "text/system_texts.h"

namespace kestro {
namespace {

constexpr UINT_PTR kCursorTimer = 1;
constexpr UINT kCursorTimerMs = 100;

// The shell announces a new notification area (after explorer restarts)
// with this message; our icon went with the old one.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

// A start that plays a script from the command line keeps its window in the
// notification area: the dialog manager's showing of it is held back until
// the user brings it back through the icon.
bool g_keepHidden = false;

void ShowHelpBox(const std::string& text, std::string_view caption) {
  App().mainWindow->ShowMessage(BoxOwner::MainWindow, text, caption, kBoxOk);
}

void OnInitDialog(HWND dialog) {
  Application& app = App();
  app.mainWindow = std::make_unique<Win32MainWindow>(dialog, CreateStatusBar(dialog));
  app.runner = std::make_unique<ScriptRunner>(*app.mainWindow, app.input, app.clock);
  app.recording = std::make_unique<RecordingController>(dialog, *app.mainWindow, *app.runner,
                                                        app.hotkeys, app.input);
  app.play = std::make_unique<PlayController>(dialog, *app.runner, *app.recording);
  FillKeyNameCombo(*app.mainWindow);
  // Refusals show here, before the window is first shown; a start that
  // plays a script shows none, nor asks about an update: a scheduled task
  // must never wait on a box.
  if (app.ownPlay) app.hotkeys.KeepRefusalsQuiet();
  RegisterHotkeysAtStartup(app.hotkeys, app.hotkeySettings, app.mainWindow.get(), dialog);
  if (!app.ownPlay) StartThread([] { UpdateThread(*App().mainWindow, App().updateChecker); });

  HICON icon = LoadIconW(app.instance, MAKEINTRESOURCEW(IDI_APP));
  SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

  FillEditorControls(*app.mainWindow);
  SetTimer(dialog, kCursorTimer, kCursorTimerMs, nullptr);
  // The program runs elevated and the shell does not: let the shell's
  // announcement through.
  ChangeWindowMessageFilterEx(dialog, TaskbarCreatedMessage(), MSGFLT_ALLOW, nullptr);
  AddTrayIcon(dialog);
  if (!app.ownPlay) return;
  g_keepHidden = true;
  app.play->Start(*app.ownPlay, nullptr);
}

// A script handed over by a later start: taken when no run and no
// recording is active, and played as a run of its own.
LRESULT OnCopyData(WPARAM wParam, LPARAM lParam) {
  HWND reply = nullptr;
  std::optional<PlayRequest> request = ReceivedPlayRequest(wParam, lParam, reply);
  if (!request) return 0;
  if (App().play->Start(*request, reply) != kPlayedToTheEnd) return kPlayBusy;
  return kPlayTaken;
}

void ShowCursorPosition(HWND dialog) {
  POINT cursor{};
  if (!GetCursorPos(&cursor)) return;
  SetDlgItemInt(dialog, IDC_CURSOR_X, static_cast<UINT>(cursor.x), TRUE);
  SetDlgItemInt(dialog, IDC_CURSOR_Y, static_cast<UINT>(cursor.y), TRUE);
}

void OnCommand(HWND dialog, int command, LPARAM lParam) {
  Application& app = App();
  MainWindow& window = *app.mainWindow;
  switch (command) {
    case IDM_RUN:
      return app.recording->RunCommand();
    case IDM_END:
      EndDialog(dialog, IDM_END);
      return;
    case IDM_TRAY_CALLBACK:
      if (lParam != WM_LBUTTONUP) return;
      g_keepHidden = false;
      ShowWindow(dialog, SW_SHOWNORMAL);
      SetForegroundWindow(dialog);
      return;
    case IDC_INSERT_MOUSE:
      return InsertMouseLine(window);
    case IDC_INSERT_WAIT:
      return InsertWaitLine(window);
    case IDC_INSERT_MOVE:
      return InsertMoveLine(window);
    case IDM_DELETE_LINE:
      return DeleteSelectedLine(window);
    case IDM_CLEAR_LIST:
      return ClearScriptList(window);
    case IDC_INSERT_KEY:
      return InsertKeyLine(window);
    case IDC_INSERT_SPECIAL:
      return InsertSpecialKeyLine(window);
    case IDC_INSERT_TEXT:
      return InsertTypeTextLines(window);
    case IDC_INSERT_COLOUR:
      return InsertColourWaitLine(window);
    case IDC_INSERT_WHEEL:
      return InsertWheelLine(window);
    case IDM_STOP:
      return app.recording->StopCommand();
    case IDM_RECORD:
      return app.recording->RecordCommand();
    case IDM_OPEN:
      return OpenScriptFile(window, app.fileDialogs, app.files);
    case IDM_SAVE:
      return SaveScriptFile(window, app.fileDialogs, app.files);
    case IDM_OPTIONS: {
      int result = RunOptionsDialog(app.instance, dialog, app.hotkeyChoices, app.hotkeySettings);
      ReregisterHotkeysAfterOptions(result, app.hotkeys, app.hotkeySettings);
      return;
    }
    case IDM_INSTRUCTIONS:
      return ShowHelpBox(InstructionsText(), text::kInstructionsCaption);
    case IDM_ABOUT:
      return ShowHelpBox(AboutText(), text::kAboutCaption);
    case IDM_HOME_PAGE:
      // A browser can take a moment to start; the window stays responsive.
      StartThread([] { App().launcher.OpenAddress(HomePageAddress()); });
      return;
    case IDM_MESSAGE_BOARD:
      App().launcher.OpenAddress(MessageBoardAddress());
      return;
  }
}

}  // namespace

void ReleaseHeldInputAtExit() {
  Application& app = App();
  if (app.runner && app.runner->HasActiveRunner()) app.input.ReleaseAllAndClose();
}

// Returns FALSE for every message, handled or not: the dialog manager does
// the rest (Enter sends command 1, Esc and the close box command 2).
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TaskbarCreatedMessage()) {
    AddTrayIcon(dialog);
    return FALSE;
  }
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      return FALSE;
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam), lParam);
      return FALSE;
    case WM_TIMER:
      if (wParam == kCursorTimer) ShowCursorPosition(dialog);
      return FALSE;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) ShowWindow(dialog, SW_HIDE);
      return FALSE;
    case WM_WINDOWPOSCHANGING:
      if (g_keepHidden) reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
      return FALSE;
    case WM_COPYDATA:
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, OnCopyData(wParam, lParam));
      return TRUE;
    case kPlayEndedMessage:
      App().play->Ended(wParam);
      return FALSE;
    case kHooksLostMessage:
      App().recording->HooksLost(wParam);
      return FALSE;
    case WM_ENDSESSION:
      // Windows ends the process after this message when the user logs off.
      if (wParam) ReleaseHeldInputAtExit();
      return FALSE;
    case WM_HOTKEY:
      App().hotkeys.HandleHotkeyMessage(static_cast<std::uintptr_t>(lParam));
      return FALSE;
  }
  return FALSE;
}

}  // namespace kestro
