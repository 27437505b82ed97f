// The settings file's values as the program uses them, one plain struct per section group.
// Only this folder knows the keys and their conventions (flag spellings, the hexadecimal
// volume, the "loop" key read in lower case); everything else reads these structs.
#pragma once

#include <array>
#include <string>

#include "app/settings_file.h"
#include "app/settings_keys.h"
#include "core/date_time.h"

namespace halcyra {

struct GeneralSettings {
  bool showSystemTray = false;
  bool preventTimeChange = false;
  // The countdown's length as stored; its reading is the countdown's business.
  std::string duration;
  bool enableAbort = false;
};

struct SoundSettings {
  bool enabled = false;
  std::string path;
  bool loop = false;
  bool setVolume = false;
  // The master volume to set, in the mixer's units; 0 when none is stored.
  int volume = 0;
};

// One flag per clean-up task, in the order of kCleanupKeys.
using CleanupSettings = std::array<bool, kCleanupKeys.size()>;

// One text per hotkey slot, in the order of kHotkeyKeys; "" when the key is absent.
using HotkeySettings = std::array<std::string, kHotkeyKeys.size()>;

struct PasswordSettings {
  bool enabled = false;
  std::string digest;
};

struct LogSettings {
  bool enabled = false;
  // 0 when no reboot was recorded, or the value cannot be read.
  DateTime lastRebootTime = 0;
};

struct Settings {
  GeneralSettings general;
  SoundSettings sound;
  CleanupSettings cleanUp{};
  LogSettings log;
  HotkeySettings hotkeys;
  PasswordSettings password;
};

// Each loader reads its section group now, so that a value read at a given moment (the alarm's
// as the count begins, a clean-up flag just before its task) is that moment's.
GeneralSettings LoadGeneralSettings(const SettingsFile& file);
SoundSettings LoadSoundSettings(const SettingsFile& file);
bool CleanupTaskOn(const SettingsFile& file, std::size_t task);
LogSettings LoadLogSettings(const SettingsFile& file);
HotkeySettings LoadHotkeySettings(const SettingsFile& file);
PasswordSettings LoadPasswordSettings(const SettingsFile& file);
Settings LoadSettings(const SettingsFile& file);

}  // namespace halcyra
