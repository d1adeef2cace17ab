#include "text/system_texts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <string>

#include "testing/gbk_literal.h"
#include "testing/hex.h"

namespace kestro {
namespace {

// The table's texts with their escapes resolved, by name.
std::map<std::string, std::string> SourceTexts() {
  std::ifstream table(KESTRO_SYSTEM_TEXTS, std::ios::binary);
  std::map<std::string, std::string> texts;
  std::string line;
  while (std::getline(table, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::size_t open = line.find('"');
    std::size_t close = line.rfind('"');
    std::string text;
    for (std::size_t i = open + 1; i < close; ++i) {
      if (line[i] != '\\') {
        text += line[i];
        continue;
      }
      char escaped = line[++i];
      text += escaped == 'n' ? '\n' : escaped;
    }
    texts[line.substr(0, line.find(' '))] = text;
  }
  return texts;
}

// The build's conversion agrees with the system's own for every text, and
// no text is lost or doubled on the way.
TEST(SystemTextsTest, EveryTextIsTheGbkOfItsTableLine) {
  std::map<std::string, std::string> source = SourceTexts();
  ASSERT_FALSE(source.empty()) << "cannot read " << KESTRO_SYSTEM_TEXTS;
  std::set<std::string_view> names;
  for (const text::NamedText& entry : text::kAllTexts) {
    SCOPED_TRACE(entry.name);
    EXPECT_TRUE(names.insert(entry.name).second);
    ASSERT_EQ(source.count(std::string(entry.name)), 1u);
    EXPECT_EQ(Hex(entry.text), Hex(GbkFromUtf8(source[std::string(entry.name)])));
  }
  EXPECT_EQ(names.size(), source.size());
}

// Bytes that stored files, peers and users' scripts rely on, pinned.
TEST(SystemTextsTest, PinnedBytes) {
  struct Case {
    std::string_view text;
    std::string_view hex;
  } cases[] = {
      {text::kClickMouseKeyword, "B5 A5 BB F7 CA F3 B1 EA"},
      {text::kDoubleClickMouseKeyword, "CB AB BB F7 CA F3 B1 EA"},
      {text::kPressMouseKeyword, "B0 B4 D7 A1 CA F3 B1 EA"},
      {text::kReleaseMouseKeyword, "B5 AF C6 F0 CA F3 B1 EA"},
      {text::kMoveMouseKeyword, "D2 C6 B6 AF CA F3 B1 EA"},
      {text::kTapKeyKeyword, "B5 A5 BB F7 BC FC C5 CC"},
      {text::kPressKeyKeyword, "B0 B4 D7 A1 BC FC C5 CC"},
      {text::kReleaseKeyKeyword, "B5 AF C6 F0 BC FC C5 CC"},
      {text::kKeyComboKeyword, "D7 E9 BA CF B0 B4 BC FC"},
      {text::kWaitKeyword, "B5 C8 B4 FD CA B1 BC E4"},
      {text::kTypeTextKeyword, "CA E4 C8 EB CE C4 D7 D6"},
      {text::kWaitColourKeyword, "B5 C8 B4 FD D1 D5 C9 AB"},
      {text::kScrollWheelKeyword, "B9 F6 B6 AF CA F3 B1 EA"},
      {text::kLeftButtonWord, "D7 F3 BC FC"},
      {text::kRightButtonWord, "D3 D2 BC FC"},
      {text::kBackspaceKeyName, "CD CB B8 F1 BC FC"},
      {text::kTabKeyName, "54 41 42 BC FC"},
      {text::kEnterKeyName, "BB D8 B3 B5 BC FC"},
      {text::kShiftKeyName, "53 48 49 46 54 BC FC"},
      {text::kCtrlKeyName, "43 54 52 4C BC FC"},
      {text::kAltKeyName, "41 4C 54 BC FC"},
      {text::kPauseKeyName, "50 41 55 53 45 BC FC"},
      {text::kCapsLockKeyName, "43 41 50 53 4C 4F 43 4B BC FC"},
      {text::kEscKeyName, "45 53 43 BC FC"},
      {text::kSpaceKeyName, "BF D5 B8 F1 BC FC"},
      {text::kLeftArrowKeyName, "CF F2 D7 F3 BC FD CD B7"},
      {text::kUpArrowKeyName, "CF F2 C9 CF BC FD CD B7"},
      {text::kRightArrowKeyName, "CF F2 D3 D2 BC FD CD B7"},
      {text::kDownArrowKeyName, "CF F2 CF C2 BC FD CD B7"},
      {text::kDeleteKeyName, "44 45 4C BC FC"},
      {text::kLeftWinKeyName, "D7 F3 57 69 6E BC FC"},
      {text::kRightWinKeyName, "D3 D2 57 69 6E BC FC"},
      {text::kMuteKeyName, "BE B2 D2 F4 BC FC"},
      {text::kVolumeDownKeyName, "D2 F4 C1 BF 2D"},
      {text::kVolumeUpKeyName, "D2 F4 C1 BF 2B"},
      {text::kNoticeCaption, "CC E1 CA BE"},
      {text::kScriptErrorSuffix, "BD C5 B1 BE B4 ED CE F3 21"},
      {text::kSaveFailedCaption, "B1 A3 B4 E6 CA A7 B0 DC"},
      {text::kUpdateCaption, "B8 FC D0 C2 CC E1 CA BE"},
      {text::kInstructionsCaption, "5A 65 6C 6D 6F B0 B4 BC FC 2D B2 D9 D7 F7 CB B5 C3 F7"},
      {text::kAboutCaption, "5A 65 6C 6D 6F B0 B4 BC FC 2D B9 D8 D3 DA"},
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(c.text), c.hex);
}

}  // namespace
}  // namespace kestro
