#include <windows.h>
// after windows.h, which they need
#include <objbase.h>
#include <shellapi.h>

#include "platform/program_launcher.h"
#include "platform/win32/gbk_text.h"

namespace kestro {

// ShellExecute may hand the start to shell extensions that use COM, so the
// calling thread (the update thread, which has no COM of its own) holds COM
// for the call.
void SystemProgramLauncher::Start(const std::string& path) {
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  ShellExecuteW(nullptr, L"open", WideFromGbk(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace kestro
