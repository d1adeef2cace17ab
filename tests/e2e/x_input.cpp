#include "x_input.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kestro_process.h"

namespace kestro::e2e {
namespace {

constexpr wchar_t kXdotool[] = L"Z:\\usr\\bin\\xdotool";

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// Wine runs a Unix program given by its path, but hands back no process to
// wait for: the shell leaves xdotool's exit status in a file instead.
std::string MarkerPath() {
  static std::atomic<int> counter{0};
  return "/tmp/kestro-xdotool-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(counter++);
}

std::wstring DosPath(const std::string& unixPath) {
  std::wstring path = L"Z:" + Wide(unixPath);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

// The file's first line once it is complete.
bool ReadStatus(const std::wstring& path, std::string& status) {
  std::ifstream file{std::filesystem::path(path)};
  if (!file) return false;
  std::stringstream text;
  text << file.rdbuf();
  std::string content = text.str();
  if (content.find('\n') == std::string::npos) return false;
  status = content.substr(0, content.find('\n'));
  return true;
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool HaveXdotool() { return GetFileAttributesW(kXdotool) != INVALID_FILE_ATTRIBUTES; }

bool Xdotool(const std::string& arguments, int limitMs) {
  return UnixShell("/usr/bin/xdotool " + arguments, limitMs);
}

bool UnixShell(const std::string& commands, int limitMs) {
  std::string marker = MarkerPath();
  std::wstring markerFile = DosPath(marker);
  DeleteFileW(markerFile.c_str());
  std::wstring command = Wide("/bin/sh -c \"" + commands + "; echo $? > " + marker + "\"");
  STARTUPINFOW startup{sizeof startup};
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return false;
  }
  if (info.hProcess) CloseHandle(info.hProcess);
  if (info.hThread) CloseHandle(info.hThread);
  std::string status;
  bool ended = WaitUntil([&] { return ReadStatus(markerFile, status); }, limitMs);
  DeleteFileW(markerFile.c_str());
  return ended && status == "0";
}

std::string UnixPath(const std::filesystem::path& path) {
  using Convert = char*(CDECL*)(LPCWSTR);
  auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!convert) return {};
  char* unix = convert(path.c_str());
  if (!unix) return {};
  std::string result = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

InputTarget::InputTarget(RECT where) {
  thread_ = std::thread([this, where] { Loop(where); });
  WaitUntil([this] { return threadId_.load() != 0; });
}

void InputTarget::Loop(RECT where) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = TargetProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.lpszClassName = L"KestroInputTarget";
  RegisterClassW(&windowClass);
  window_ =
      CreateWindowExW(WS_EX_TOPMOST, L"KestroInputTarget", L"KestroInputTarget",
                      WS_POPUP | WS_VISIBLE, where.left, where.top, where.right - where.left,
                      where.bottom - where.top, nullptr, nullptr, windowClass.hInstance, nullptr);
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  threadId_ = GetCurrentThreadId();
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DestroyWindow(window_);
  UnregisterClassW(L"KestroInputTarget", windowClass.hInstance);
}

InputTarget::~InputTarget() {
  PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  thread_.join();
}

bool InputTarget::TakeFocus() {
  auto xWindow = reinterpret_cast<ULONG_PTR>(GetPropW(window_, L"__wine_x11_whole_window"));
  RECT rect{};
  GetWindowRect(window_, &rect);
  std::string centre = std::to_string((rect.left + rect.right) / 2) + " " +
                       std::to_string((rect.top + rect.bottom) / 2);
  // Wine makes a window the foreground one when it is clicked, not when X
  // alone moves the focus.
  if (!Xdotool("mousemove " + centre + " click 1 windowfocus " + std::to_string(xWindow))) {
    return false;
  }
  return WaitUntil([this] { return GetForegroundWindow() == window_; }, 3000);
}

}  // namespace kestro::e2e
