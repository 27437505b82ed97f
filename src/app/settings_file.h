// The settings file "Halcyra.ini" as its users see it: opened by path, a few reads or writes,
// closed again within one operation. Adds the program's value conventions to the INI layer:
// flags, integers with "0x" hexadecimal, regional date-times, and the write error.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/date_time.h"
#include "platform/ini_profile.h"
#include "platform/regional_settings.h"

namespace halcyra {

// A write that the system refused; the text is "Unable to write to <path>".
class SettingsWriteError : public std::runtime_error {
 public:
  explicit SettingsWriteError(const std::string& path);
};

class SettingsFile {
 public:
  SettingsFile(IniProfile& ini, std::string path, RegionalFormat format);

  const std::string& Path() const { return path_; }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def = "") const;
  void WriteString(const std::string& section, const std::string& key, const std::string& value);

  // Decimal text; more than two characters starting "0x" or "0X" is hexadecimal. Text that is
  // not a 32-bit number gives def.
  int ReadInteger(const std::string& section, const std::string& key, int def = 0) const;
  void WriteInteger(const std::string& section, const std::string& key, int value);

  // Text that cannot be read back as a date-time gives def.
  DateTime ReadDateTime(const std::string& section, const std::string& key, DateTime def = 0) const;
  void WriteDateTime(const std::string& section, const std::string& key, DateTime value);

  // A flag is on exactly when its text is "True".
  bool IsOn(const std::string& section, const std::string& key) const;

  // Reports nothing, as the profile layer gives no useful answer for a missing key.
  void DeleteKey(const std::string& section, const std::string& key);
  // Deletes every line of the key, in whatever letter case a hand edit left it more than once;
  // says whether the key is gone.
  bool RemoveKey(const std::string& section, const std::string& key);
  bool ValueExists(const std::string& section, const std::string& key) const;
  // Whether two key names name one key, by the settings layer's case rule.
  bool SameKey(std::string_view a, std::string_view b) const {
    return ini_.NameKey(a) == ini_.NameKey(b);
  }
  // Whether this user may not write the file at all: an administrator's read-only lock.
  bool WriteDenied() const { return ini_.WriteDenied(path_); }
  // Key names in file order.
  std::vector<std::string> ReadSection(const std::string& section) const;
  // "key=value" entries in file order, one per key: names that differ only in letter case
  // name one entry (the first), as every read of them finds it.
  std::vector<std::string> ReadSectionValues(const std::string& section) const;
  // Every "key=value" line of the section as it stands, in file order; nullopt when it cannot
  // be read whole.
  std::optional<std::vector<std::string>> ReadSectionLines(const std::string& section) const;
  // Replaces the whole section in one write: refused, it leaves the section as it was.
  void WriteSection(const std::string& section, const std::vector<std::string>& entries);

 private:
  IniProfile& ini_;
  std::string path_;
  RegionalFormat format_;
};

// "True" or "false": the flag spelling of the sections general, CleanUp, Password and Log.
inline const char* FlagText(bool on) { return on ? "True" : "false"; }
// "True" or "False": the flag spelling of the section Sound.
inline const char* SoundFlagText(bool on) { return on ? "True" : "False"; }

// "Can not save settings. You must be given "modify" access to the file: "<path>"."
std::string SettingsSaveFailedMessage(const std::string& path);

// Parses an integer setting the way ReadInteger does.
std::optional<int> ParseSettingInteger(const std::string& text);

}  // namespace halcyra
