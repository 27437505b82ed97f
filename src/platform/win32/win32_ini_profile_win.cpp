#include "platform/win32/win32_ini_profile_win.h"

#include <windows.h>

#include <string>

#include "platform/code_page.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {
namespace {

// The file's path goes to the wide functions whole, so that a data folder outside the ANSI code
// page is found. Names and values are UTF-8 in the program and text of that code page in the
// file: they pass through it on their way in, so that the system's own conversion has nothing
// left to guess, and what the file holds is what a read gives back.
std::wstring Text(std::string_view text) { return WideText(CodePageFromUtf8(text), CP_ACP); }
std::string Text(std::wstring_view text) { return Utf8(text); }

// A section read whole may be large (a [Timer] section of 100,000 entries holds about 4 million
// characters); one beyond this is not read.
constexpr std::size_t kMaxSectionChars = std::size_t{1} << 26;

}  // namespace

std::string Win32IniProfile::ReadString(const std::string& path, const std::string& section,
                                        const std::string& key, const std::string& def) const {
  wchar_t buffer[kMaxValueChars + 1];
  const DWORD length =
      GetPrivateProfileStringW(Text(section).c_str(), Text(key).c_str(), Text(def).c_str(), buffer,
                               static_cast<DWORD>(std::size(buffer)), Wide(path).c_str());
  return Text(std::wstring_view(buffer, length));
}

bool Win32IniProfile::WriteString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& value) {
  return WritePrivateProfileStringW(Text(section).c_str(), Text(key).c_str(), Text(value).c_str(),
                                    Wide(path).c_str()) != FALSE;
}

bool Win32IniProfile::DeleteKey(const std::string& path, const std::string& section,
                                const std::string& key) {
  return WritePrivateProfileStringW(Text(section).c_str(), Text(key).c_str(), nullptr,
                                    Wide(path).c_str()) != FALSE;
}

bool Win32IniProfile::WriteDenied(const std::string& path) const {
  // Opened for writing with every share mode, so that only the file's rights can refuse it, and
  // without following a link: nothing is written.
  const HANDLE file = CreateFileW(Wide(path).c_str(), FILE_WRITE_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_ACCESS_DENIED;
  CloseHandle(file);
  return false;
}

std::vector<std::string> Win32IniProfile::ReadKeys(const std::string& path,
                                                   const std::string& section) const {
  // The system answers "size less two" both for a list it cut and for one that fits whole with
  // one or two characters to spare, so its answer cannot tell a cut last name from a whole one.
  // A buffer two characters larger holds every name that fits the key-list buffer whole, and a
  // name cut in it fills it to the end, past what that buffer could hold: counting decides.
  std::vector<wchar_t> buffer(kKeyListBytes + 2);
  GetPrivateProfileStringW(Text(section).c_str(), nullptr, L"", buffer.data(),
                           static_cast<DWORD>(buffer.size()), Wide(path).c_str());
  std::vector<std::string> names;
  std::size_t used = 1;  // the final zero
  for (const wchar_t* p = buffer.data(); p < buffer.data() + buffer.size() && *p;) {
    const std::wstring_view name(p);
    if (used + name.size() + 1 > kKeyListBytes) break;
    used += name.size() + 1;
    p += name.size() + 1;
    names.push_back(Text(name));
  }
  return names;
}

std::optional<std::vector<std::string>> Win32IniProfile::ReadSectionLines(
    const std::string& path, const std::string& section) const {
  const std::wstring name = Text(section), file = Wide(path);
  std::vector<wchar_t> buffer(kKeyListBytes);
  for (;;) {
    const DWORD length = GetPrivateProfileSectionW(name.c_str(), buffer.data(),
                                                   static_cast<DWORD>(buffer.size()), file.c_str());
    // "Size less two" may mean a section cut short: only a smaller answer is surely whole.
    if (length + 2 < buffer.size()) break;
    if (buffer.size() >= kMaxSectionChars) return std::nullopt;
    buffer.assign(buffer.size() * 2, L'\0');
  }
  std::vector<std::string> entries;
  for (const wchar_t* p = buffer.data(); *p;) {
    const std::wstring_view entry(p);
    entries.push_back(Text(entry));
    p += entry.size() + 1;
  }
  return entries;
}

bool Win32IniProfile::WriteSection(const std::string& path, const std::string& section,
                                   const std::vector<std::string>& entries) {
  // Each entry ends with a zero, and one more zero ends the block.
  std::wstring block;
  for (const std::string& entry : entries) {
    block += Text(entry);
    block += L'\0';
  }
  block += L'\0';
  return WritePrivateProfileSectionW(Text(section).c_str(), block.c_str(), Wide(path).c_str()) !=
         FALSE;
}

// The profile functions compare names as text of the ANSI code page without regard to case, by
// the system's own upper-case table: the same conversion, and that table, give the form.
std::string Win32IniProfile::NameKey(std::string_view name) const {
  const std::wstring text = Text(name);
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  std::wstring upper(text.size(), L'\0');
  LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, text.data(), length, upper.data(), length);
  return std::string(reinterpret_cast<const char*>(upper.data()), upper.size() * sizeof(wchar_t));
}

}  // namespace halcyra
