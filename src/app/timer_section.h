// The section Timer as the schedule reads it: one key per timer, its title, and the timer's
// entry as its value.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/settings_file.h"

namespace halcyra {

// "title=entry" in file order, one per title.
std::vector<std::string> ReadTimerEntries(const SettingsFile& file);
// The entry of that title; "" when there is none.
std::string ReadTimerEntry(const SettingsFile& file, const std::string& title);
// Every line of the section as it stands, for a rewrite of the whole section; nullopt when it
// cannot be read whole.
std::optional<std::vector<std::string>> ReadTimerLines(const SettingsFile& file);

// Writes one timer's entry under its title; throws SettingsWriteError.
void WriteTimerEntry(SettingsFile& file, const std::string& title, const std::string& entry);
// Replaces the whole section in one write; refused, it leaves the section as it was.
void WriteTimerSection(SettingsFile& file, const std::vector<std::string>& entries);
// Takes the timer out, in whatever letter case a hand edit left its title; says whether it is
// gone.
bool RemoveTimerEntry(SettingsFile& file, const std::string& title);

}  // namespace halcyra
