// Drives kestro.exe from another process, as a user would: it starts a copy
// in a fresh folder, finds its windows, and works them only through window
// messages and injected input. Windows test programs only.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kestro::e2e {

// Polls the condition until it holds or the limit passes.
bool WaitUntil(const std::function<bool()>& condition, int limitMs = 5000);

// A text of another process's control, read with WM_GETTEXT.
std::wstring WindowText(HWND window);

// The folder of this test program, where kestro.exe is built too.
std::filesystem::path BuildFolder();

// A message box or dialog of the program: its caption and the text of its
// static controls.
struct BoxContent {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
};

class KestroProcess {
 public:
  // Copies a build of the program (kestro.exe unless another is named) into
  // a new folder of its own, under the given name (which may hold a folder
  // within), lets `prepare` put files beside it, and starts it there. The
  // new folder's name starts with `folderName`.
  explicit KestroProcess(
      const std::wstring& exeName = L"kestro.exe", const std::wstring& build = L"kestro.exe",
      const std::function<void(const std::filesystem::path& folder)>& prepare = nullptr,
      const std::wstring& folderName = L"kestro-e2e", const std::wstring& arguments = L"");
  // Ends the program (command 2, then by force) and removes its folder.
  ~KestroProcess();
  KestroProcess(const KestroProcess&) = delete;
  KestroProcess& operator=(const KestroProcess&) = delete;

  // The main window, once it is shown; nullptr when it did not appear.
  HWND WaitForMainWindow(int limitMs = 10000);
  HWND main() const { return main_; }
  const std::filesystem::path& folder() const { return folder_; }
  DWORD processId() const { return processId_; }
  // Waits for the process to end; returns its exit code, or -1 if it runs on.
  long WaitForExit(int limitMs = 10000);

  HWND Control(int id) const { return GetDlgItem(main_, id); }
  std::wstring Text(int id) const { return WindowText(Control(id)); }
  // Types a text into a control (WM_SETTEXT).
  void SetText(int id, const std::wstring& text) const;
  bool IsChecked(int id) const;
  // Clicks a button or check box (BM_CLICK); a box it opens does not block.
  void Click(int id) const;
  // Clicks an insert button and waits until the new line is in the list.
  bool Insert(int id) const;
  // A menu or button command as the dialog manager would send it.
  void Command(int id, LPARAM lParam = 0) const;

  std::vector<std::wstring> ListLines() const;
  // Puts a line at the end of the list as a loaded file would.
  void AddListLine(const std::wstring& line) const {
    SendMessageW(Control(1002), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
  int ListSelection() const;
  void SelectListLine(int index) const;
  // Selects a combo entry as a click in its drop-down list would.
  void SelectComboEntry(int id, int index) const;
  std::vector<std::wstring> ComboEntries(int id) const;

  // A status-bar part's text; the bar lives in the program's memory, so the
  // text is fetched through a buffer allocated there.
  std::wstring StatusText(int part) const;
  // Sets a status-bar part's text the same way, e.g. to see the next change.
  void SetStatusText(int part, const std::wstring& text) const;

  // The next top-level window of the program other than the main window
  // whose caption matches (any caption when empty), and its content.
  BoxContent WaitForBox(const std::wstring& caption = L"", int limitMs = 5000) const;
  // Every visible top-level window of the program except the main window.
  std::vector<HWND> OtherWindows() const;

 private:
  std::filesystem::path folder_;
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  HWND main_ = nullptr;
};

// Answers a box with the given button (IDOK, IDYES, IDNO, ...).
void AnswerBox(HWND box, int button);

// Types the path into an open or save dialog's file name field and presses
// its OK button; true once the dialog has closed.
bool ChooseFileInDialog(HWND dialog, const std::filesystem::path& path);

}  // namespace kestro::e2e
