// The settings file's values as the program uses them, one plain struct per section group.
// Only this folder knows the keys and their conventions (flag spellings, the hexadecimal
// volume, the "loop" key read in lower case); everything else reads these structs.
#pragma once

#include <array>
#include <functional>
#include <optional>
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

// The writers keep the order in which the keys have always been written, so that a file that
// gets them for the first time holds them in that order. Each throws SettingsWriteError.
// AppPath stays as the first start wrote it. `guardWritten` runs right after PreventTimeChange
// is written, so that the clock guard follows what the file says even if a later write fails.
void SaveGeneralSettings(SettingsFile& file, const GeneralSettings& general,
                         const std::function<void()>& guardWritten = {});
// An empty text is stored as "None".
void SaveHotkeySetting(SettingsFile& file, std::size_t slot, const std::string& text);
// With the alarm off only the flag is written: the file keeps the rest for the next time.
void SaveSoundSettings(SettingsFile& file, const SoundSettings& sound);
void SaveCleanupSettings(SettingsFile& file, const CleanupSettings& cleanUp);
// On with a new digest stores it; on without one keeps the stored digest; off deletes it.
void SavePasswordSettings(SettingsFile& file, bool enabled,
                          const std::optional<std::string>& newDigest);
void SaveLogEnabled(SettingsFile& file, bool enabled);
// Just before a timer's reboot.
void StampLastReboot(SettingsFile& file, DateTime when);

}  // namespace halcyra
