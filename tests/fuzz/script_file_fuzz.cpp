// Fuzz target: a file's bytes to the script loader, then the loaded script
// saved and loaded again.
//
// Loading drops spaces and line ends and ends a token at a '.' or before a
// line end, so what it gives back is a fixed point of the format: lines
// that are not empty, hold no blank, end of line or NUL, hold a '.' only as
// their last byte and are never the end marker; count values of the same
// kind. The one exception, kept as saved: a key line whose whole argument
// is a blank or a '.' ("单击键盘: ;"). Such lines and a count value of at most 31 bytes (what the
// save writes) come back unchanged, so the second load equals the first: the same lines, the same
// loop box, the same repeat count as saved. A second save then writes the very same bytes; a save
// never replaces a file, and a failed write or read is reported.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "memory_files.h"
#include "resource_ids.h"
#include "script/script_file.h"
#include "script/script_language.h"
#include "testing/fake_main_window.h"
#include "text/gbk.h"
#include "text/system_texts.h"

namespace kestro::fuzz {
namespace {

class ChosenNames : public FileDialogs {
 public:
  std::optional<NativePath> ChooseScriptToOpen() override { return open; }
  std::optional<NativePath> ChooseScriptSaveName() override { return save; }
  std::optional<NativePath> open, save;
};

const NativePath kLoaded = AppendAscii({}, "loaded.ini");
const NativePath kSaved = AppendAscii({}, "saved");
const NativePath kSavedAgain = AppendAscii({}, "again");
constexpr std::string_view kInitialCount = "1";
constexpr std::size_t kSavedCountBytes = 31;

// A token of the loader: what every loaded line and count value is.
bool IsLoadedToken(std::string_view token) {
  if (token.find_first_of(std::string_view(" \r\n\0", 4)) != std::string_view::npos) return false;
  std::size_t dot = token.find('.');
  return dot == std::string_view::npos || dot + 1 == token.size();
}

// "单击键盘: ;", "按住键盘:.;" and the like.
bool IsLoneKeyLine(std::string_view line) {
  if (line.size() != kArgumentOffset + 2 || line[kCommandWordBytes] != ':') return false;
  if ((line[kArgumentOffset] != ' ' && line[kArgumentOffset] != '.') || line.back() != ';') {
    return false;
  }
  CommandId id = LookupCommand(line.substr(0, kCommandWordBytes));
  return id == CommandId::TapKey || id == CommandId::PressKey || id == CommandId::ReleaseKey;
}

void CheckLoadedShape(const LoadedScript& script) {
  for (const std::string& value : script.countValues) {
    Require(IsLoadedToken(value), "a count value is a token without blanks, '.' only last");
  }
  for (const std::string& line : script.lines) {
    Require(!line.empty(), "a loaded line is not empty");
    Require(IsLoadedToken(line) || IsLoneKeyLine(line),
            "a loaded line is a token without blanks, '.' only last, or a lone key argument");
    Require(line != text::kScriptEndMarker, "the end marker ends the lines");
  }
}

// A main window as a user would have it before opening a file.
void PrepareWindow(FakeMainWindow& window, std::vector<std::string> lines) {
  window.texts[IDC_REPEAT_COUNT] = kInitialCount;
  window.checks[IDC_LOOP] = false;
  window.lines = std::move(lines);
}

}  // namespace
}  // namespace kestro::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestro;
  using namespace kestro::fuzz;
  std::string_view bytes = AsText(data, size);
  LoadedScript loaded = ParseScriptText(FromDiskLineEnds(bytes));
  CheckLoadedShape(loaded);

  // Opened into a list that already holds a line: the file's lines follow
  // it, and its count lines apply one after the other.
  MemoryFiles files;
  files.files[kLoaded] = bytes;
  ChosenNames names;
  names.open = kLoaded;
  FakeMainWindow first;
  const std::string kPriorLine = std::string(text::kClickLeftChoice) + ";";
  PrepareWindow(first, {kPriorLine});
  OpenScriptFile(first, names, files);
  std::vector<std::string> lines = {kPriorLine};
  lines.insert(lines.end(), loaded.lines.begin(), loaded.lines.end());
  Require(first.lines == lines, "the file's lines come after those in the list");
  std::string count(kInitialCount);
  bool loop = false;
  for (const std::string& value : loaded.countValues) {
    loop = value == text::kLoopValue;
    if (!loop) count = value;
  }
  Require(first.texts[IDC_REPEAT_COUNT] == count && first.checks[IDC_LOOP] == loop,
          "the last count line sets the repeat count or ticks the loop box");
  Require(first.messages.empty(), "a file that can be read loads without a box");

  // A save whose write fails says so and leaves no file; the next one works.
  const NativePath savedFile = AppendAscii(kSaved, ".ini");
  names.save = kSaved;
  files.failWrites = true;
  SaveScriptFile(first, names, files);
  files.failWrites = false;
  Require(first.messages.size() == 1 && first.messages.back().text == text::kSaveScriptError &&
              !files.Exists(savedFile),
          "a failed save is reported and leaves no file");
  SaveScriptFile(first, names, files);
  Require(first.messages.size() == 1 && files.Exists(savedFile),
          "a script is saved under the name plus .ini");
  const std::string saved = files.files[savedFile];
  SaveScriptFile(first, names, files);
  Require(first.messages.size() == 2 && first.messages.back().text == text::kSameNameExists,
          "a second save under the same name is refused");
  Require(files.files[savedFile] == saved, "a refused save keeps the file");

  FakeMainWindow second;
  PrepareWindow(second, {});
  names.open = savedFile;
  OpenScriptFile(second, names, files);
  Require(second.lines == first.lines, "the saved lines load again unchanged");
  Require(second.checks[IDC_LOOP] == loop, "the loop box loads again");
  std::string savedCount =
      loop ? std::string(kInitialCount)
           : std::string(CutGbk(first.texts[IDC_REPEAT_COUNT], kSavedCountBytes));
  Require(second.texts[IDC_REPEAT_COUNT] == savedCount, "the saved repeat count loads again");

  names.save = kSavedAgain;
  SaveScriptFile(second, names, files);
  Require(files.files[AppendAscii(kSavedAgain, ".ini")] == saved,
          "saving what was loaded writes the same bytes");

  // A file that cannot be read is reported and changes nothing.
  names.open = AppendAscii({}, "missing.ini");
  OpenScriptFile(second, names, files);
  Require(second.messages.size() == 1 && second.messages.back().text == text::kOpenScriptError &&
              second.lines == first.lines,
          "a file that cannot be read is reported and adds nothing");
  return 0;
}
