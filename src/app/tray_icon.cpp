#include "app/tray_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "platform/win32/gbk_text_win32.h"
#include "resource_ids.h"
#include "text/gbk.h"
#include "text/system_texts.h"

namespace kestro {
namespace {

// The tip names the default keys even when others are configured. Its text
// is limited to 63 GBK bytes, as the first icon record's tip field holds,
// cut at a character boundary.
constexpr std::size_t kTipMaxBytes = 63;
// The tip field of the first version of the record (the shell reads no more).
constexpr std::size_t kTipFieldChars = 64;

std::wstring TipText(std::string_view gbk) { return WideFromGbk(CutGbk(gbk, kTipMaxBytes)); }

NOTIFYICONDATAW g_icon;

void SetTip(std::string_view gbk) {
  std::fill(std::begin(g_icon.szTip), std::end(g_icon.szTip), L'\0');
  TipText(gbk).copy(g_icon.szTip, kTipFieldChars - 1);
}

}  // namespace

void AddTrayIcon(HWND mainWindow) {
  g_icon = NOTIFYICONDATAW{};
  g_icon.cbSize = NOTIFYICONDATAW_V1_SIZE;  // the first version of the record
  g_icon.hWnd = mainWindow;
  g_icon.uID = IDI_APP;
  g_icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  g_icon.uCallbackMessage = WM_COMMAND;  // arrives as command 107
  g_icon.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP));
  SetTip(text::kTrayTip);
  Shell_NotifyIconW(NIM_ADD, &g_icon);
}

void RemoveTrayIcon() { Shell_NotifyIconW(NIM_DELETE, &g_icon); }

void ShowPlayingInTrayTip(std::string_view fileName) {
  SetTip(std::string(text::kPlayingTipPrefix) + std::string(fileName));
  Shell_NotifyIconW(NIM_MODIFY, &g_icon);
}

void RestoreTrayTip() {
  SetTip(text::kTrayTip);
  Shell_NotifyIconW(NIM_MODIFY, &g_icon);
}

}  // namespace kestro
