#include "kestro_process.h"

#include <commctrl.h>

#include <atomic>

namespace kestro::e2e {
namespace {

constexpr wchar_t kMainCaption[] = L"Zelmo按键";

std::filesystem::path NewFolder(const std::wstring& name) {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::filesystem::path folder =
      std::filesystem::path(temp) /
      (name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

struct WindowsOf {
  DWORD processId;
  HWND except;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowsOf*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && window != search->except && IsWindowVisible(window)) {
    search->found.push_back(window);
  }
  return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM data) {
  wchar_t className[32] = {};
  GetClassNameW(child, className, 32);
  if (_wcsicmp(className, L"Static") != 0) return TRUE;
  std::wstring text = WindowText(child);
  auto* all = reinterpret_cast<std::wstring*>(data);
  if (!text.empty()) *all += (all->empty() ? L"" : L"\n") + text;
  return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, int limitMs) {
  for (int waited = 0; waited < limitMs; waited += 20) {
    if (condition()) return true;
    Sleep(20);
  }
  return condition();
}

std::wstring WindowText(HWND window) {
  if (!window) return {};
  LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  LRESULT copied =
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

std::filesystem::path BuildFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(path).parent_path();
}

KestroProcess::KestroProcess(const std::wstring& exeName, const std::wstring& build,
                             const std::function<void(const std::filesystem::path&)>& prepare,
                             const std::wstring& folderName, const std::wstring& arguments)
    : folder_(NewFolder(folderName)) {
  std::filesystem::path exe = folder_ / exeName;
  std::filesystem::create_directories(exe.parent_path());
  std::filesystem::copy_file(BuildFolder() / build, exe);
  if (prepare) prepare(folder_);
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{sizeof startup};
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder_.c_str(), &startup, &info)) {
    return;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
}

KestroProcess::~KestroProcess() {
  if (process_) {
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
      // Close any box first: a modal box keeps command 2 waiting.
      for (HWND box : OtherWindows()) PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
      if (main_) PostMessageW(main_, WM_COMMAND, IDCANCEL, 0);
      if (WaitForSingleObject(process_, 3000) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
      WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
  }
  std::error_code error;
  std::filesystem::remove_all(folder_, error);
}

HWND KestroProcess::WaitForMainWindow(int limitMs) {
  WaitUntil(
      [this] {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, L"#32770", kMainCaption)) != nullptr) {
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          // Visible only once its initialisation is over.
          if (owner == processId_ && IsWindowVisible(window)) {
            main_ = window;
            return true;
          }
        }
        return false;
      },
      limitMs);
  return main_;
}

long KestroProcess::WaitForExit(int limitMs) {
  if (!process_ || WaitForSingleObject(process_, static_cast<DWORD>(limitMs)) != WAIT_OBJECT_0) {
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return static_cast<long>(code);
}

void KestroProcess::SetText(int id, const std::wstring& text) const {
  SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool KestroProcess::IsChecked(int id) const {
  return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Sent, not posted: Wine drops a posted click while the program is not the
// active one. A click that opens a modal box returns after the time limit.
void KestroProcess::Click(int id) const {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(Control(id), BM_CLICK, 0, 0, SMTO_NORMAL, 300, &result);
}

bool KestroProcess::Insert(int id) const {
  std::size_t before = ListLines().size();
  Click(id);
  return WaitUntil([&] { return ListLines().size() == before + 1; });
}

void KestroProcess::Command(int id, LPARAM lParam) const {
  PostMessageW(main_, WM_COMMAND, static_cast<WPARAM>(id), lParam);
}

std::vector<std::wstring> KestroProcess::ListLines() const {
  HWND list = Control(1002);
  std::vector<std::wstring> lines;
  LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // The list may change while it is read; a line gone meanwhile ends it.
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length == LB_ERR) break;
    std::wstring line(static_cast<std::size_t>(length) + 1, L'\0');
    LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                  reinterpret_cast<LPARAM>(line.data()));
    if (copied == LB_ERR) break;
    line.resize(static_cast<std::size_t>(copied));
    lines.push_back(line);
  }
  return lines;
}

int KestroProcess::ListSelection() const {
  return static_cast<int>(SendMessageW(Control(1002), LB_GETCURSEL, 0, 0));
}

void KestroProcess::SelectListLine(int index) const {
  SendMessageW(Control(1002), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void KestroProcess::SelectComboEntry(int id, int index) const {
  SendMessageW(Control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::vector<std::wstring> KestroProcess::ComboEntries(int id) const {
  HWND combo = Control(id);
  std::vector<std::wstring> entries;
  LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring entry(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(entry.data()));
    entry.resize(static_cast<std::size_t>(length));
    entries.push_back(entry);
  }
  return entries;
}

std::wstring KestroProcess::StatusText(int part) const {
  HWND bar = Control(888);
  if (!bar) return L"<no status bar>";
  constexpr SIZE_T kBytes = 1024 * sizeof(wchar_t);
  void* remote = VirtualAllocEx(process_, nullptr, kBytes, MEM_COMMIT, PAGE_READWRITE);
  if (!remote) return L"<no memory>";
  LRESULT result =
      SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(remote));
  std::wstring text(LOWORD(result), L'\0');
  SIZE_T read = 0;
  ReadProcessMemory(process_, remote, text.data(), text.size() * sizeof(wchar_t), &read);
  VirtualFreeEx(process_, remote, 0, MEM_RELEASE);
  return text;
}

void KestroProcess::SetStatusText(int part, const std::wstring& text) const {
  SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  void* remote = VirtualAllocEx(process_, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
  if (!remote) return;
  WriteProcessMemory(process_, remote, text.c_str(), bytes, nullptr);
  SendMessageW(Control(888), SB_SETTEXTW, static_cast<WPARAM>(part),
               reinterpret_cast<LPARAM>(remote));
  VirtualFreeEx(process_, remote, 0, MEM_RELEASE);
}

std::vector<HWND> KestroProcess::OtherWindows() const {
  WindowsOf search{processId_, main_, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BoxContent KestroProcess::WaitForBox(const std::wstring& caption, int limitMs) const {
  BoxContent box;
  WaitUntil(
      [&] {
        for (HWND window : OtherWindows()) {
          std::wstring title = WindowText(window);
          if (!caption.empty() && title != caption) continue;
          box.window = window;
          box.caption = title;
          return true;
        }
        return false;
      },
      limitMs);
  if (box.window)
    EnumChildWindows(box.window, CollectStaticText, reinterpret_cast<LPARAM>(&box.text));
  return box;
}

namespace {

constexpr int kFileNameEdit = 0x47C;  // cmb13, the file name field

struct FoundChild {
  int id;
  const wchar_t* className;
  HWND window = nullptr;
};

BOOL CALLBACK FindChild(HWND child, LPARAM data) {
  auto* find = reinterpret_cast<FoundChild*>(data);
  wchar_t className[64] = {};
  GetClassNameW(child, className, 64);
  if (GetDlgCtrlID(child) != find->id || _wcsicmp(className, find->className) != 0) return TRUE;
  find->window = child;
  return FALSE;
}

}  // namespace

bool ChooseFileInDialog(HWND dialog, const std::filesystem::path& path) {
  FoundChild edit{kFileNameEdit, L"Edit"};
  EnumChildWindows(dialog, FindChild, reinterpret_cast<LPARAM>(&edit));
  if (!edit.window) return false;
  SendMessageW(edit.window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  DWORD_PTR result = 0;
  SendMessageTimeoutW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, 300, &result);
  return WaitUntil([&] { return !IsWindow(dialog); });
}

void AnswerBox(HWND box, int button) {
  PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
}

}  // namespace kestro::e2e
