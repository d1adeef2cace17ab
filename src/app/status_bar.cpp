#include "app/status_bar.h"

#include <commctrl.h>

#include "platform/win32/gbk_text_win32.h"
#include "resource_ids.h"
#include "text/system_texts.h"

namespace kestro {

HWND CreateStatusBar(HWND mainWindow) {
  constexpr DWORD kStyle = 0x50000010;  // WS_CHILD | WS_VISIBLE | 0x10
  HWND bar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, kStyle, 0, 0, 0, 0, mainWindow,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS_BAR)),
                             GetModuleHandleW(nullptr), nullptr);
  int rightEdges[2] = {120, -1};
  SendMessageW(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rightEdges));
  SetStatusBarText(bar, 0, text::kWelcomeStatus);
  return bar;
}

void SetStatusBarText(HWND statusBar, int part, std::string_view text) {
  std::wstring wide = WideFromGbk(text);
  SendMessageW(statusBar, SB_SETTEXTW, static_cast<WPARAM>(part),
               reinterpret_cast<LPARAM>(wide.c_str()));
}

}  // namespace kestro
