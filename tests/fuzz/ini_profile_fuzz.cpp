// Fuzz target: a settings file to the INI reader and writer, and a sequence
// of saves and loads through the settings store. Whatever the file holds,
// reading stays within it; each value written reads back at once, every
// other key keeps the value it had, and writing a value a key already holds
// leaves the file untouched. Names are those the settings use, in other spellings too, since
// sections and keys match ignoring case and surrounding blanks.
//
// Input: the settings file, then the operations, then one byte whose low
// three bits say how many operations there are (up to 7, fewer when the
// input is short). An operation is three bytes: the first picks the
// section (bits 0-1), the key (bits 2-4) and what to do (bits 5-7), the two
// others make the value. An empty file stands for no file at all.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "memory_files.h"
#include "text/ini_file_store.h"

namespace kestro::fuzz {
namespace {

// Two sections and two keys, each in several spellings that the profile
// functions take as the same name; every reading parses the whole file, so
// few names keep the fuzzer fast.
struct Spelling {
  std::string_view text;
  int name;
};
constexpr Spelling kSections[] = {{"HotKey", 0}, {"hotkey", 0}, {" HOTKEY\t", 0}, {"Other", 1}};
constexpr Spelling kKeys[] = {{"VKRun", 0}, {" vkrun\t", 0}, {"VKRUN", 0},  {"vkrun ", 0},
                              {"Extra", 1}, {"EXTRA", 1},    {" extra", 1}, {"extra\t", 1}};
constexpr int kSectionNames = 2;
constexpr int kKeyNames = 2;
// Each name once, in its first spelling.
constexpr Spelling kSectionOnce[kSectionNames] = {kSections[0], kSections[3]};
constexpr Spelling kKeyOnce[kKeyNames] = {kKeys[0], kKeys[4]};
constexpr int kFallback = -99;
constexpr std::size_t kOperationBytes = 3;

enum class Action { Write, WriteBlankFirst, WriteEmpty, WriteWide, Load };

Action ActionOf(unsigned kind) {
  switch (kind) {
    case 4:
      return Action::WriteBlankFirst;
    case 5:
      return Action::WriteEmpty;
    case 6:
      return Action::WriteWide;
    case 7:
      return Action::Load;
    default:
      return Action::Write;
  }
}

// What every section and key of the tables should read as: at first what
// the file holds, then what was written last.
class Expectations {
 public:
  Expectations(IniFileStore& store, const NativePath& path) : store_(store), path_(path) {
    for (const Spelling& section : kSectionOnce) {
      for (const Spelling& key : kKeyOnce) {
        Of(section, key) = store.ReadInt(path, section.text, key.text, kFallback);
      }
    }
  }

  int& Of(const Spelling& section, const Spelling& key) { return values_[section.name][key.name]; }

  void RequireAll() {
    for (const Spelling& section : kSectionOnce) {
      for (const Spelling& key : kKeyOnce) {
        Require(store_.ReadInt(path_, section.text, key.text, kFallback) == Of(section, key),
                "every key keeps the value last written, or the file's own");
      }
    }
  }

 private:
  IniFileStore& store_;
  const NativePath& path_;
  int values_[kSectionNames][kKeyNames] = {};
};

}  // namespace
}  // namespace kestro::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestro;
  using namespace kestro::fuzz;
  std::string_view input = AsText(data, size);
  std::size_t operations = 0;
  if (!input.empty()) {
    operations = static_cast<unsigned char>(input.back()) & 7;
    input.remove_suffix(1);
    operations = std::min(operations, input.size() / kOperationBytes);
  }
  std::string_view file = input.substr(0, input.size() - operations * kOperationBytes);
  std::string_view script = input.substr(file.size());

  const NativePath path = AppendAscii({}, "config.ini");
  MemoryFiles files;
  if (!file.empty()) files.files[path] = file;
  IniFileStore store(files);
  Expectations expected(store, path);
  struct {
    std::string_view section, key;
    std::string value;
  } last;

  for (; script.size() >= kOperationBytes; script.remove_prefix(kOperationBytes)) {
    auto choice = static_cast<unsigned char>(script[0]);
    auto high = static_cast<unsigned char>(script[1]);
    auto low = static_cast<unsigned char>(script[2]);
    const Spelling& section = kSections[choice & 3];
    const Spelling& key = kKeys[(choice >> 2) & 7];
    std::string value = std::to_string(static_cast<std::int16_t>(high << 8 | low));
    int reading = std::stoi(value);
    switch (ActionOf(choice >> 5)) {
      case Action::Write:
        break;
      case Action::WriteBlankFirst:
        value = " \t" + value;
        break;
      case Action::WriteEmpty:
        value.clear();
        reading = kFallback;
        break;
      case Action::WriteWide:
        reading = static_cast<std::int32_t>(std::uint32_t{high} << 24 | std::uint32_t{low} << 16 |
                                            std::uint32_t{high} << 8 | low);
        value = std::to_string(reading);
        break;
      case Action::Load:
        Require(store.ReadInt(path, section.text, key.text, kFallback) == expected.Of(section, key),
                "a key reads as last written, or as the file had it");
        continue;
    }
    store.WriteString(path, section.text, key.text, value);
    expected.Of(section, key) = reading;
    Require(store.ReadInt(path, section.text, key.text, kFallback) == reading,
            "a written value reads back");
    last = {section.text, key.text, value};
  }
  expected.RequireAll();
  if (files.writes == 0) return 0;
  int writes = files.writes;
  const std::string before = files.files[path];
  store.WriteString(path, last.section, last.key, last.value);
  Require(files.writes == writes && files.files[path] == before,
          "writing the value a key holds leaves the file untouched");
  return 0;
}
