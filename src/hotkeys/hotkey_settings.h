// The persistent side of the four global hotkeys: where the settings file
// lives, the eight values read from it with their defaults, and the eight
// values written back. Section HotKey of config.ini beside the executable.
#pragma once

#include "platform/native_path.h"
#include "platform/settings_store.h"

namespace kestro {

// The hotkey values, always in this order: run, stop, capture, then record,
// which came last so that files and code knowing only the first six read on
// unchanged. Modifiers are the platform's hotkey modifier flags, keys
// virtual-key codes.
struct HotkeyValues {
  int runModifiers = 0;
  int runKey = 0;
  int stopModifiers = 0;
  int stopKey = 0;
  int captureModifiers = 0;
  int captureKey = 0;
  int recordModifiers = 0;
  int recordKey = 0;

  bool operator==(const HotkeyValues&) const = default;
};

// Modifier flags as the platform's hotkeys take them; 0 is no modifier.
enum HotkeyModifier : int { kModAlt = 1, kModControl = 2, kModShift = 4, kModWin = 8 };
// The key code that stands for "no key": such a hotkey is not registered.
constexpr int kNoHotkeyKey = 1;

constexpr const char* kSettingsFileName = "config.ini";
constexpr const char* kHotkeySection = "HotKey";

class HotkeySettings {
 public:
  explicit HotkeySettings(SettingsStore& store) : store_(store) {}

  // The settings path: the file of that name in the executable's folder. A
  // null file name leaves the path as it is.
  void BuildPath(const NativePath& executableFolder, const char* fileName);
  // Reads the eight values; absent ones take their defaults (Ctrl+Y, Ctrl+T,
  // Ctrl+F, Ctrl+F12), and so does a key code stored as 0. With no record
  // keys in the file, a default record hotkey that another of the three
  // already is becomes none.
  void Load();
  // Writes all eight given values, changed or not. The values record stays as
  // it is until the next Load.
  void Save(const HotkeyValues& values);

  const NativePath& path() const { return path_; }
  const HotkeyValues& values() const { return values_; }
  // The file names both record keys, so the record hotkey is the user's
  // choice rather than the default.
  bool recordChosen() const { return recordChosen_; }

 private:
  SettingsStore& store_;
  NativePath path_;
  HotkeyValues values_;
  bool recordChosen_ = false;
};

}  // namespace kestro
