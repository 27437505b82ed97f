#include "platform/win32/win32_ini_profile_win.h"

#include <windows.h>

namespace halcyra {

std::string Win32IniProfile::ReadString(const std::string& path, const std::string& section,
                                        const std::string& key, const std::string& def) const {
  char buffer[kMaxValueChars + 1];
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer,
                                                sizeof buffer, path.c_str());
  return std::string(buffer, length);
}

bool Win32IniProfile::WriteString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& value) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) !=
         FALSE;
}

bool Win32IniProfile::DeleteKey(const std::string& path, const std::string& section,
                                const std::string& key) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, path.c_str()) != FALSE;
}

std::vector<std::string> Win32IniProfile::ReadKeys(const std::string& path,
                                                   const std::string& section) const {
  std::vector<char> buffer(kKeyListBytes);
  const DWORD length = GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                                static_cast<DWORD>(buffer.size()), path.c_str());
  std::vector<std::string> names;
  for (const char* p = buffer.data(); *p && p < buffer.data() + buffer.size();) {
    names.emplace_back(p);
    p += names.back().size() + 1;
  }
  // The documented sign of a list that did not fit: the size less two. Its last name is cut.
  if (length == buffer.size() - 2 && !names.empty()) names.pop_back();
  return names;
}

}  // namespace halcyra
