#include "script/script_file.h"

#include "resource_ids.h"
#include "script/script_language.h"
#include "text/gbk.h"
#include "text/system_texts.h"

namespace kestro {
namespace {

using text::kLoopValue;
using text::kRepeatCountName;
using text::kScriptEndMarker;
using text::kScriptStartMarker;
constexpr std::size_t kHeaderBytes = 64;
constexpr std::size_t kCountValueMaxBytes = 31;

bool IsLoaderWhitespace(char c) { return c == '\r' || c == '\n' || c == ' '; }

// A key line whose whole argument is a blank or a '.' ("单击键盘: ;", what
// the editor writes for a typed blank): the loader would drop the one and
// split at the other, so the line came back as another. At `pos` of the
// body, with `token` collected so far, such a line's argument byte starts.
bool IsLoneKeyArgument(std::string_view text, std::size_t pos, const std::string& token) {
  if (token.size() != kArgumentOffset || token.back() != ':' || text[pos - 1] != ':') return false;
  if (text[pos] != ' ' && text[pos] != '.') return false;
  if (pos + 1 >= text.size() || text[pos + 1] != ';') return false;
  if (pos + 2 < text.size() && text[pos + 2] != '\n') return false;
  CommandId id = LookupCommand(std::string_view(token).substr(0, kCommandWordBytes));
  return id == CommandId::TapKey || id == CommandId::PressKey || id == CommandId::ReleaseKey;
}

// Scans [begin, end) of the text into tokens and hands each complete one to
// `take`, which returns false to stop. Returns the position after the token
// that stopped the scan, or `end`. In the body, a lone key argument is kept.
template <typename Take>
std::size_t ScanTokens(std::string_view text, std::size_t begin, std::size_t end, bool body,
                       Take take) {
  std::string token;
  for (std::size_t pos = begin; pos < end; ++pos) {
    char c = text[pos];
    if (body && IsLoneKeyArgument(text, pos, token)) {
      token += c;
      continue;
    }
    if (IsLoaderWhitespace(c)) continue;
    token += c;
    bool complete = c == '.' || (pos + 1 < text.size() && text[pos + 1] == '\n');
    if (!complete) continue;
    if (!take(token)) return pos + 1;
    token.clear();
  }
  return end;  // a token under way at the end is dropped
}

}  // namespace

std::string ComposeScriptText(std::string_view countValue, const std::vector<std::string>& lines) {
  std::string text(kRepeatCountName);
  text += ':';
  text += countValue;
  text += "\n\n";
  text += kScriptStartMarker;
  text += '\n';
  for (const std::string& line : lines) {
    text += line;
    text += '\n';
  }
  text += kScriptEndMarker;
  return text;
}

std::string ToDiskLineEnds(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

std::string FromDiskLineEnds(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  return text;
}

LoadedScript ParseScriptText(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  LoadedScript script;

  std::size_t headerEnd = std::min(kHeaderBytes, text.size());
  bool started = false;
  std::size_t bodyStart = ScanTokens(text, 0, headerEnd, false, [&](const std::string& token) {
    if (token == kScriptStartMarker) {
      started = true;
      return false;
    }
    std::size_t colon = token.find(':');
    if (colon != std::string::npos &&
        std::string_view(token).substr(0, colon) == kRepeatCountName) {
      script.countValues.push_back(token.substr(colon + 1));
    }
    return true;
  });
  if (!started) bodyStart = kHeaderBytes;
  if (bodyStart >= text.size()) return script;

  ScanTokens(text, bodyStart, text.size(), true, [&](const std::string& token) {
    if (token == kScriptEndMarker) return false;
    script.lines.push_back(token);
    return true;
  });
  return script;
}

void OpenScriptFile(MainWindow& window, FileDialogs& dialogs, Files& files) {
  std::optional<NativePath> path = dialogs.ChooseScriptToOpen();
  if (!path) return;
  std::optional<std::string> bytes = files.ReadAll(*path);
  if (!bytes) {
    window.ShowMessage(BoxOwner::MainWindow, text::kOpenScriptError, text::kNoticeCaption, kBoxOk);
    return;
  }

  LoadedScript script = ParseScriptText(FromDiskLineEnds(*bytes));
  for (const std::string& value : script.countValues) {
    if (value == kLoopValue) {
      window.SetChecked(IDC_LOOP, true);
      continue;
    }
    window.SetControlText(IDC_REPEAT_COUNT, value);
    window.SetChecked(IDC_LOOP, false);
  }
  window.ListInsert(window.ListCount(), script.lines);
}

void SaveScriptFile(MainWindow& window, FileDialogs& dialogs, Files& files) {
  std::optional<NativePath> chosen = dialogs.ChooseScriptSaveName();
  if (!chosen) return;
  NativePath path = AppendAscii(*chosen, ".ini");

  if (files.Exists(path)) {
    window.ShowMessage(BoxOwner::MainWindow, text::kSameNameExists, text::kSaveFailedCaption,
                       kBoxIconInformation);
    return;
  }

  ScriptSnapshot script = window.CopyScript();
  std::string count = script.loop ? std::string(kLoopValue)
                                  : std::string(CutGbk(script.repeatCount, kCountValueMaxBytes));
  std::string bytes = ToDiskLineEnds(ComposeScriptText(count, script.lines));

  // A script the user believes saved must really be there: a failed write is
  // reported, and leaves no cut-off file that could be taken for it.
  if (files.CreateNew(path, bytes)) return;
  window.ShowMessage(BoxOwner::MainWindow, text::kSaveScriptError, text::kSaveFailedCaption,
                     kBoxIconWarning);
}

}  // namespace kestro
