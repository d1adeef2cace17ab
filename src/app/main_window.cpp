#include "app/main_window.h"

#include "app/status_bar.h"
#include "platform/win32/gbk_text_win32.h"
#include "resource_ids.h"

namespace kestro {

LRESULT Win32MainWindow::SendToList(UINT message, WPARAM wParam, LPARAM lParam) {
  return SendDlgItemMessageW(hwnd(), IDC_SCRIPT_LIST, message, wParam, lParam);
}

int Win32MainWindow::ListCount() { return static_cast<int>(SendToList(LB_GETCOUNT, 0, 0)); }

ScriptSnapshot Win32MainWindow::CopyScript() {
  ScriptSnapshot snapshot;
  snapshot.repeatCount = controls_.ControlText(IDC_REPEAT_COUNT);
  snapshot.loop = controls_.IsChecked(IDC_LOOP);
  LRESULT count = SendToList(LB_GETCOUNT, 0, 0);
  snapshot.lines.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
  std::wstring line;
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendToList(LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length == LB_ERR) break;
    line.assign(static_cast<std::size_t>(length) + 1, L'\0');
    LRESULT copied =
        SendToList(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line.data()));
    if (copied == LB_ERR) break;
    line.resize(static_cast<std::size_t>(copied));
    snapshot.lines.push_back(GbkFromWide(line));
  }
  return snapshot;
}

int Win32MainWindow::ListSelection() { return static_cast<int>(SendToList(LB_GETCURSEL, 0, 0)); }

void Win32MainWindow::ListInsert(int index, std::string_view line) {
  std::wstring wide = WideFromGbk(line);
  // -1 appends, also where an index one past the end would be refused.
  WPARAM at = index >= ListCount() ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index);
  SendToList(LB_INSERTSTRING, at, reinterpret_cast<LPARAM>(wide.c_str()));
}

// A list box moves every later line for each line inserted before them, so
// lines going into the middle of a long list take the lines after them
// out, and everything is added at the end.
void Win32MainWindow::ListInsert(int index, const std::vector<std::string>& lines) {
  HWND list = GetDlgItem(hwnd(), IDC_SCRIPT_LIST);
  int count = ListCount();
  std::vector<std::wstring> added;
  added.reserve(lines.size() + static_cast<std::size_t>(count > index ? count - index : 0));
  for (const std::string& line : lines) added.push_back(WideFromGbk(line));
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (int i = index; i < count; ++i) {
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring line(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                  reinterpret_cast<LPARAM>(line.data()));
    line.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    added.push_back(std::move(line));
  }
  for (int i = count - 1; i >= index; --i) {
    SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
  }
  std::size_t bytes = 0;
  for (const std::wstring& line : added) bytes += (line.size() + 1) * sizeof(wchar_t);
  SendMessageW(list, LB_INITSTORAGE, added.size(), static_cast<LPARAM>(bytes));
  for (const std::wstring& line : added) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void Win32MainWindow::ListSelect(int index) {
  SendToList(LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32MainWindow::ListDelete(int index) {
  SendToList(LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void Win32MainWindow::ListClear() { SendToList(LB_RESETCONTENT, 0, 0); }

int Win32MainWindow::ShowMessage(BoxOwner owner, std::string_view text, std::string_view caption,
                                 unsigned style) {
  HWND ownerWindow = owner == BoxOwner::MainWindow ? hwnd() : nullptr;
  return MessageBoxW(ownerWindow, WideFromGbk(text).c_str(), WideFromGbk(caption).c_str(), style);
}

void Win32MainWindow::SetStatusText(int part, std::string_view text) {
  SetStatusBarText(statusBar_, part, text);
}

// Posted, not sent: the window's thread ends the dialog through its usual
// path (command 2), and the program's end (icon, hotkeys) follows from
// there, never from the calling thread.
void Win32MainWindow::Close() { PostMessageW(hwnd(), WM_COMMAND, IDM_END, 0); }

}  // namespace kestro
