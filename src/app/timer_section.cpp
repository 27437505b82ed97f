#include "app/timer_section.h"

#include "app/settings_keys.h"

namespace halcyra {

std::vector<std::string> ReadTimerEntries(const SettingsFile& file) {
  return file.ReadSectionValues(kTimerSection);
}

std::string ReadTimerEntry(const SettingsFile& file, const std::string& title) {
  return file.ReadString(kTimerSection, title);
}

std::optional<std::vector<std::string>> ReadTimerLines(const SettingsFile& file) {
  return file.ReadSectionLines(kTimerSection);
}

void WriteTimerEntry(SettingsFile& file, const std::string& title, const std::string& entry) {
  file.WriteString(kTimerSection, title, entry);
}

void WriteTimerSection(SettingsFile& file, const std::vector<std::string>& entries) {
  file.WriteSection(kTimerSection, entries);
}

bool RemoveTimerEntry(SettingsFile& file, const std::string& title) {
  return file.RemoveKey(kTimerSection, title);
}

}  // namespace halcyra
