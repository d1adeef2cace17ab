
#include <windows.h>
// after windows.h, which it needs
#include <commdlg.h>

#include <string>

#include "platform/file_dialogs.h"

namespace kestro {
namespace {

// Filters are pairs of display text and pattern, each ending in a NUL, the
// list ending in one more.
constexpr wchar_t kOpenFilter[] = L"所有文件\0*.*\0脚本文件(.ini;.txt)\0*.ini;*.txt\0";
constexpr wchar_t kSaveFilter[] = L"脚本文件(.ini)\0*.ini\0";

// Room for long paths; the dialogs themselves hold MAX_PATH at most.
constexpr DWORD kPathChars = 1024;

std::optional<NativePath> Choose(bool save, const wchar_t* filter, DWORD filterIndex, DWORD flags) {
  std::wstring path(kPathChars, L'\0');
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.lpstrFilter = filter;
  request.nFilterIndex = filterIndex;
  request.lpstrFile = path.data();
  request.nMaxFile = kPathChars;
  request.Flags = flags;
  BOOL chosen = save ? GetSaveFileNameW(&request) : GetOpenFileNameW(&request);
  if (!chosen) return std::nullopt;
  path.resize(path.find(L'\0'));
  return path;
}

}  // namespace

std::optional<NativePath> SystemFileDialogs::ChooseScriptToOpen() {
  return Choose(false, kOpenFilter, 2, OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
}

// The file-must-exist flag would refuse every new name, so saving asks only
// for an existing folder.
std::optional<NativePath> SystemFileDialogs::ChooseScriptSaveName() {
  return Choose(true, kSaveFilter, 1, OFN_EXPLORER | OFN_PATHMUSTEXIST);
}

}  // namespace kestro
