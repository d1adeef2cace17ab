#include "recorder/key_arguments.h"

#include "script/script_language.h"

namespace kestro {
namespace {

constexpr std::uint8_t kShift = 16, kControl = 17, kAlt = 18, kLeftWin = 91, kRightWin = 92;

bool CanStandAlone(char c) { return c > ' ' && c < 0x7F && c != ';' && c != '('; }

}  // namespace

std::uint8_t GenericKey(std::uint8_t virtualKey) {
  switch (virtualKey) {
    case 160:  // VK_LSHIFT, VK_RSHIFT
    case 161:
      return kShift;
    case 162:  // VK_LCONTROL, VK_RCONTROL
    case 163:
      return kControl;
    case 164:  // VK_LMENU, VK_RMENU
    case 165:
      return kAlt;
  }
  return virtualKey;
}

int ModifierFlagOf(std::uint8_t genericKey) {
  switch (genericKey) {
    case kAlt:
      return 1;
    case kControl:
      return 2;
    case kShift:
      return 4;
    case kLeftWin:
    case kRightWin:
      return 8;
  }
  return 0;
}

std::optional<std::string> KeyArgument(std::uint8_t genericKey, const KeyCharacters& characters) {
  for (const KeyNameEntry& row : KeyNameTable) {
    if ((row.virtualKey & 0xFF) == genericKey) return "(" + std::string(row.name) + ")";
  }
  char c = characters[genericKey];
  if (!CanStandAlone(c)) return std::nullopt;
  return std::string(1, c);
}

KeyCharacters KeyCharactersOf(Input& input) {
  KeyCharacters characters{};
  for (char c = '!'; c <= '~'; ++c) {
    std::uint16_t scan = input.ScanCharacter(c);
    // No key, or one that needs Shift, Ctrl or Alt for this character.
    if (scan == 0xFFFF || (scan >> 8) != 0) continue;
    char& slot = characters[scan & 0xFF];
    if (slot == 0) slot = c;
  }
  return characters;
}

}  // namespace kestro
