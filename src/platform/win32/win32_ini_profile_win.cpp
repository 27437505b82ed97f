#include "platform/win32/win32_ini_profile_win.h"

#include <windows.h>

#include <string>

#include "platform/win32/wide_path_win.h"

namespace halcyra {

std::string Win32IniProfile::ReadString(const std::string& path, const std::string& section,
                                        const std::string& key, const std::string& def) const {
  char buffer[kMaxValueChars + 1];
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer,
                                                sizeof buffer, CodePagePath(path).c_str());
  return std::string(buffer, length);
}

bool Win32IniProfile::WriteString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& value) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                    CodePagePath(path).c_str()) != FALSE;
}

bool Win32IniProfile::DeleteKey(const std::string& path, const std::string& section,
                                const std::string& key) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr,
                                    CodePagePath(path).c_str()) != FALSE;
}

std::vector<std::string> Win32IniProfile::ReadKeys(const std::string& path,
                                                   const std::string& section) const {
  // The system answers "size less two" both for a list it cut and for one that fits whole with
  // one or two bytes to spare, so its answer cannot tell a cut last name from a whole one. A
  // buffer two bytes larger holds every name that fits the key-list buffer whole, and a name cut
  // in it fills it to the end, past what that buffer could hold: counting the bytes decides.
  std::vector<char> buffer(kKeyListBytes + 2);
  GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                           static_cast<DWORD>(buffer.size()), CodePagePath(path).c_str());
  std::vector<std::string> names;
  std::size_t used = 1;  // the final zero byte
  for (const char* p = buffer.data(); p < buffer.data() + buffer.size() && *p;) {
    const std::string name(p);
    if (used + name.size() + 1 > kKeyListBytes) break;
    used += name.size() + 1;
    p += name.size() + 1;
    names.push_back(name);
  }
  return names;
}

// The profile functions compare names as text of the ANSI code page without regard to case, by
// the system's own upper-case table: the same conversion, and that table, give the form.
std::string Win32IniProfile::NameKey(std::string_view name) const {
  if (name.empty()) return {};
  const int length = static_cast<int>(name.size());
  const int wide = MultiByteToWideChar(CP_ACP, 0, name.data(), length, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_ACP, 0, name.data(), length, text.data(), wide);
  std::wstring upper(text.size(), L'\0');
  LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, text.data(), wide, upper.data(), wide);
  return std::string(reinterpret_cast<const char*>(upper.data()), upper.size() * sizeof(wchar_t));
}

}  // namespace halcyra
