// Where an organisation's policies for Halcyra stand in the registry, under HKEY_LOCAL_MACHINE
// and HKEY_CURRENT_USER, by the names its administrative templates write.
#pragma once

namespace halcyra {

inline constexpr const char* kPolicyKey = "Software\\Policies\\Halcyra";
// A subkey: one value per timer, its name the title, its data the timer's entry.
inline constexpr const char* kPolicyTimersKey = "Timers";
inline constexpr const char* kPolicyDisableUserTimers = "DisableUserTimers";
inline constexpr const char* kPolicyMinimumCountdown = "MinimumCountdown";
inline constexpr const char* kPolicyEnableAbort = "EnableAbort";
inline constexpr const char* kPolicyDisableExit = "DisableExit";
inline constexpr const char* kPolicyDisableHotkeys = "DisableHotkeys";
inline constexpr const char* kPolicyDisableOneOffs = "DisableOneOffs";
inline constexpr const char* kPolicyLogEnabled = "LogEnabled";

}  // namespace halcyra
