// Script files: the repeat setting and every line of the script list as GBK
// text with CR LF line ends, between a count line, a start marker and an
// end marker.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_dialogs.h"
#include "platform/files.h"
#include "platform/main_window.h"

namespace kestro {

// The file's text with LF line ends: the repeat-count name, ':' and the
// count value, an empty line, the start marker, one line per script line,
// and the end marker with no line end after it.
std::string ComposeScriptText(std::string_view countValue, const std::vector<std::string>& lines);

// Line ends on disk are CR LF on every platform.
std::string ToDiskLineEnds(std::string_view text);
std::string FromDiskLineEnds(std::string_view bytes);

struct LoadedScript {
  // Every count value found in the header, in file order: the loop value
  // ticks the loop box, anything else is the repeat count.
  std::vector<std::string> countValues;
  std::vector<std::string> lines;
};

// Reads a file's text (LF line ends) token by token: spaces and line ends
// are dropped and a '.' or a following line end completes a token. The
// header is the first 64 bytes; without a start marker there, the body
// starts at byte 64. The body ends at the end marker or the end of the text.
LoadedScript ParseScriptText(std::string_view text);

// File / Open: appends the chosen file's lines to the list and applies its
// repeat setting.
void OpenScriptFile(MainWindow& window, FileDialogs& dialogs, Files& files);
// File / Save: writes the script under the chosen name plus ".ini", never
// over an existing file; a failed write is reported and leaves no file.
void SaveScriptFile(MainWindow& window, FileDialogs& dialogs, Files& files);

}  // namespace kestro
