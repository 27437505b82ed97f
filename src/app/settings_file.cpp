#include "app/settings_file.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <unordered_set>

#include "core/text.h"
#include "lang/texts.h"

namespace halcyra {

SettingsWriteError::SettingsWriteError(const std::string& path)
    : std::runtime_error(Tr("Unable to write to %1", {path})) {}

SettingsFile::SettingsFile(IniProfile& ini, std::string path, RegionalFormat format)
    : ini_(ini), path_(std::move(path)), format_(std::move(format)) {}

std::string SettingsFile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& def) const {
  return ini_.ReadString(path_, section, key, def);
}

void SettingsFile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value) {
  if (!ini_.WriteString(path_, section, key, value)) throw SettingsWriteError(path_);
}

std::string SettingsSaveFailedMessage(const std::string& path) {
  return Tr("Can not save settings. You must be given \"modify\" access to the file: \"%1\".",
            {path});
}

std::optional<int> ParseSettingInteger(const std::string& text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (hex) {
    // Up to eight hexadecimal digits, taken as the bits of a 32-bit integer.
    std::uint32_t value = 0;
    std::size_t digits = 0;
    for (std::size_t i = 2; i < text.size(); ++i, ++digits) {
      const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
      unsigned d;
      if (c >= '0' && c <= '9')
        d = static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f')
        d = static_cast<unsigned>(c - 'a' + 10);
      else
        return std::nullopt;
      if (digits == 8) return std::nullopt;
      value = value << 4 | d;
    }
    return static_cast<std::int32_t>(value);
  }
  const auto value = ParseDecimal(text, std::int64_t{INT32_MAX} + 2);
  if (!value || *value > INT32_MAX || *value < INT32_MIN) return std::nullopt;
  return static_cast<int>(*value);
}

int SettingsFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  return ParseSettingInteger(ReadString(section, key)).value_or(def);
}

void SettingsFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

DateTime SettingsFile::ReadDateTime(const std::string& section, const std::string& key,
                                    DateTime def) const {
  const std::string text = ReadString(section, key);
  if (text.empty()) return def;
  return TextToDateTime(text, format_).value_or(def);
}

void SettingsFile::WriteDateTime(const std::string& section, const std::string& key,
                                 DateTime value) {
  WriteString(section, key, DateTimeToText(value, format_));
}

bool SettingsFile::IsOn(const std::string& section, const std::string& key) const {
  return ReadString(section, key) == "True";
}

void SettingsFile::DeleteKey(const std::string& section, const std::string& key) {
  ini_.DeleteKey(path_, section, key);
}

bool SettingsFile::RemoveKey(const std::string& section, const std::string& key) {
  // Each delete takes one line, the first of the key; as many as the key has lines.
  const auto names = ReadSection(section);
  const std::string wanted = ini_.NameKey(key);
  const auto lines = std::count_if(names.begin(), names.end(), [&](const std::string& name) {
    return ini_.NameKey(name) == wanted;
  });
  for (auto i = lines; i > 0; --i) DeleteKey(section, key);
  return !ValueExists(section, key);
}

bool SettingsFile::ValueExists(const std::string& section, const std::string& key) const {
  const std::string wanted = ini_.NameKey(key);
  for (const std::string& name : ReadSection(section))
    if (ini_.NameKey(name) == wanted) return true;
  return false;
}

std::vector<std::string> SettingsFile::ReadSection(const std::string& section) const {
  return ini_.ReadKeys(path_, section);
}

std::vector<std::string> SettingsFile::ReadSectionValues(const std::string& section) const {
  std::vector<std::string> entries;
  std::unordered_set<std::string> seen;
  for (const std::string& key : ReadSection(section)) {
    if (!seen.insert(ini_.NameKey(key)).second) continue;
    entries.push_back(key + "=" + ReadString(section, key));
  }
  return entries;
}

std::optional<std::vector<std::string>> SettingsFile::ReadSectionLines(
    const std::string& section) const {
  return ini_.ReadSectionLines(path_, section);
}

void SettingsFile::WriteSection(const std::string& section,
                                const std::vector<std::string>& entries) {
  if (!ini_.WriteSection(path_, section, entries)) throw SettingsWriteError(path_);
}

}  // namespace halcyra
