#include "service/prepared_settings.h"

#include "core/text.h"

namespace halcyra {

std::optional<SharedSettings> SharedSettingsOf(const std::string& word) {
  if (word.empty() || EqualsIgnoreCase(word, "Writable")) return SharedSettings::Writable;
  if (EqualsIgnoreCase(word, "ReadOnly")) return SharedSettings::ReadOnly;
  return std::nullopt;
}

std::string PreparedPathRefusal(const std::string& path) {
  std::string canonical = path;
  for (char& c : canonical)
    if (c == '/') c = '\\';
  const auto quoted = "SETTINGS=\"" + path + "\" ";
  for (const char* prefix : {"\\\\?\\", "\\\\.\\", "\\??\\"})
    if (canonical.rfind(prefix, 0) == 0)
      return quoted + "is a device or object path; give a drive path or a share.";
  const bool drive = canonical.size() > 2 && canonical[1] == ':' && canonical[2] == '\\';
  const bool share = canonical.size() > 2 && canonical.rfind("\\\\", 0) == 0;
  if (!drive && !share)
    return quoted +
           "is not a full path; Windows Installer would read it from its own folder. Give a "
           "drive path or a share (\\\\server\\share\\file).";
  return "";
}

}  // namespace halcyra
