#include <windows.h>
// after windows.h, which they need
#include <objbase.h>
#include <shellapi.h>

#include "platform/program_launcher.h"
#include "platform/win32/gbk_text_win32.h"

namespace kestro {
namespace {

// ShellExecute may hand the start to shell extensions that use COM, so the
// calling thread (the update thread, the home-page thread, the user
// interface) holds COM for the call. Results above 32 mean success.
bool ShellOpen(const wchar_t* file, const wchar_t* parameters) {
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  HINSTANCE result = ShellExecuteW(nullptr, L"open", file, parameters, nullptr, SW_SHOWNORMAL);
  if (SUCCEEDED(com)) CoUninitialize();
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace

bool SystemProgramLauncher::Start(const NativePath& program, std::string_view arguments) {
  std::wstring parameters(arguments.begin(), arguments.end());  // ASCII
  return ShellOpen(program.c_str(), parameters.empty() ? nullptr : parameters.c_str());
}

bool SystemProgramLauncher::OpenAddress(std::string_view address) {
  return ShellOpen(WideFromGbk(address).c_str(), nullptr);
}

}  // namespace kestro
