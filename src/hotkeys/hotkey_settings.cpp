#include "hotkeys/hotkey_settings.h"

#include <string>

namespace kestro {
namespace {

struct SettingsKey {
  const char* name;
  int HotkeyValues::*field;
  int fallback;
  bool isKeyCode;
};

// The file's keys in HotkeyValues order, which is also the order of reading
// and writing.
constexpr SettingsKey kSettingsKeys[] = {
    {"CtrlRun", &HotkeyValues::runModifiers, kModControl, false},
    {"VKRun", &HotkeyValues::runKey, 'Y', true},
    {"CtrlOver", &HotkeyValues::stopModifiers, kModControl, false},
    {"VKOver", &HotkeyValues::stopKey, 'T', true},
    {"CtrlXY", &HotkeyValues::captureModifiers, kModControl, false},
    {"VKXY", &HotkeyValues::captureKey, 'F', true},
    {"CtrlRecord", &HotkeyValues::recordModifiers, kModControl, false},
    {"VKRecord", &HotkeyValues::recordKey, 'R', true},
};

}  // namespace

void HotkeySettings::BuildPath(const NativePath& executableFolder, const char* fileName) {
  if (!fileName) return;
  path_ = PathInFolder(executableFolder, fileName);
}

void HotkeySettings::Load() {
  for (const SettingsKey& key : kSettingsKeys) {
    int value = store_.ReadInt(path_, kHotkeySection, key.name, key.fallback);
    // 0 is no virtual key at all (and what text that is no number reads
    // as), so a key code of 0 means the default; a modifier of 0 is the
    // valid choice "no modifier" and stays.
    if (key.isKeyCode && value == 0) value = key.fallback;
    values_.*key.field = value;
  }
}

void HotkeySettings::Save(const HotkeyValues& values) {
  for (const SettingsKey& key : kSettingsKeys) {
    store_.WriteString(path_, kHotkeySection, key.name, std::to_string(values.*key.field));
  }
}

}  // namespace kestro
