#include "hotkeys/hotkey_settings.h"

#include <string>

namespace kestro {
namespace {

constexpr int kVirtualKeyF12 = 123;

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
    {"VKRecord", &HotkeyValues::recordKey, kVirtualKeyF12, true},
};
constexpr const SettingsKey& kCtrlRecord = kSettingsKeys[6];
constexpr const SettingsKey& kVkRecord = kSettingsKeys[7];

// Whether the file gives the key a value: the profile read falls back to
// its default only when it does not, so two different defaults tell.
bool HasValue(SettingsStore& store, const NativePath& path, const SettingsKey& key) {
  return store.ReadInt(path, kHotkeySection, key.name, 0) ==
         store.ReadInt(path, kHotkeySection, key.name, 1);
}

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
  // The record hotkey came later than the others. Ctrl+F12 is a default no
  // common program uses; where the file names no record keys and the other
  // three already take it, recording has no hotkey rather than a refused one.
  bool hasCtrl = HasValue(store_, path_, kCtrlRecord);
  bool hasKey = HasValue(store_, path_, kVkRecord);
  recordChosen_ = hasCtrl && hasKey;
  if (hasCtrl || hasKey) return;
  auto takes = [&](int modifiers, int key) {
    return modifiers == values_.recordModifiers && key == values_.recordKey;
  };
  if (takes(values_.runModifiers, values_.runKey) ||
      takes(values_.stopModifiers, values_.stopKey) ||
      takes(values_.captureModifiers, values_.captureKey)) {
    values_.recordKey = kNoHotkeyKey;
  }
}

void HotkeySettings::Save(const HotkeyValues& values) {
  for (const SettingsKey& key : kSettingsKeys) {
    store_.WriteString(path_, kHotkeySection, key.name, std::to_string(values.*key.field));
  }
}

}  // namespace kestro
