// The settings file as arbitrary bytes through every read of the settings layer.
#include <cstdint>

#include "app/settings_file.h"
#include "fuzz_input.h"
#include "platform/portable/portable_ini_profile.h"

using namespace halcyra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  fuzz::WriteSettings(fuzz::Text(data + 1, size - 1));
  PortableIniProfile ini;
  const SettingsFile file(ini, fuzz::SettingsPath(), fuzz::Regional(data[0]));
  std::size_t listBytes = 1;
  for (const char* section : {"general", "Timer", "Sound", "Log", "x"}) {
    const auto names = file.ReadSection(section);
    for (const std::string& name : names) {
      listBytes += name.size() + 1;
      fuzz::Require(file.ReadString(section, name).size() <= kMaxValueChars, "value <= 2047");
      fuzz::Require(file.ValueExists(section, name), "a listed key exists");
      file.ReadInteger(section, name, 7);
      file.ReadDateTime(section, name, 0);
      file.IsOn(section, name);
    }
    for (const std::string& entry : file.ReadSectionValues(section))
      fuzz::Require(entry.find('=') != std::string::npos, "an entry holds its '='");
  }
  fuzz::Require(listBytes <= kKeyListBytes * 5, "every key list fits its buffer");
  for (const char* key : {"Duration", "Volume", "LastRebootTime", ""}) {
    file.ReadString("general", key);
    file.ReadInteger("Sound", key, 0);
    file.ReadDateTime("Log", key, 0);
  }
  return 0;
}
