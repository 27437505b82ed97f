// Every section and key name of the settings file, in one place. Names compare without regard
// to case in the file; these are the spellings the program writes.
#pragma once

#include <array>

namespace halcyra {

inline constexpr const char* kGeneralSection = "general";
inline constexpr const char* kShowSystemTrayKey = "ShowSystemTray";
inline constexpr const char* kPreventTimeChangeKey = "PreventTimeChange";
inline constexpr const char* kDurationKey = "Duration";
inline constexpr const char* kEnableAbortKey = "EnableAbort";
inline constexpr const char* kAppPathKey = "AppPath";
// The first-start record: its key in the section general, and its value.
inline constexpr const char* kFirstStartKey = "FirstStartDone";
inline constexpr const char* kFirstStartValue = "True";

// One key per hotkey slot, in the slots' order (see ui/hotkeys.h).
inline constexpr const char* kHotkeysSection = "Hotkeys";
inline constexpr std::array<const char*, 6> kHotkeyKeys = {"Powerdown", "Shutdown", "Reboot",
                                                           "Hibernate", "Suspend",  "Logoff"};
inline constexpr const char* kNoHotkeyText = "None";

// One key per timer: its title.
inline constexpr const char* kTimerSection = "Timer";
// The frequency words of a timer's entry besides the day names.
inline constexpr const char* kOnce = "Once";
inline constexpr const char* kDaily = "Daily";
inline constexpr const char* kWeekday = "Weekday";

inline constexpr const char* kSoundSection = "Sound";
inline constexpr const char* kSoundEnabledKey = "Enabled";
inline constexpr const char* kSoundPathKey = "SoundPath";
// Written "Loop", read "loop": the file does not tell them apart.
inline constexpr const char* kLoopKey = "Loop";
inline constexpr const char* kLoopReadKey = "loop";
inline constexpr const char* kSetVolumeKey = "SetVolume";
inline constexpr const char* kVolumeKey = "Volume";

// One key per clean-up task, in the order the tasks run and the clean-up list shows them.
inline constexpr const char* kCleanupSection = "CleanUp";
inline constexpr std::array<const char*, 7> kCleanupKeys = {
    "RecycleBin", "TempFolder",     "IEcache",       "IEcookie",
    "IEhistory",  "IEAutoComplete", "RecentDocument"};

inline constexpr const char* kPasswordSection = "Password";
inline constexpr const char* kPasswordEnabledKey = "Enabled";
inline constexpr const char* kPasswordKey = "Password";

inline constexpr const char* kLogSection = "Log";
inline constexpr const char* kLogEnabledKey = "Enabled";
inline constexpr const char* kLastRebootTimeKey = "LastRebootTime";

}  // namespace halcyra
