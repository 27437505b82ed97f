#include "platform/win32/win32_ini_profile_win.h"

#include <windows.h>

#include <memory>
#include <string>

#include "platform/code_page.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {
namespace {

// The file's path goes to the wide functions whole, so that a data folder outside the ANSI code
// page is found. Names and values are UTF-8 in the program and text of that code page in the
// file: they pass through it on their way in, so that the system's own conversion has nothing
// left to guess, and what the file holds is what a read gives back.
std::wstring Text(std::string_view text) { return Wide(Utf8FromCodePage(CodePageFromUtf8(text))); }
std::string Text(std::wstring_view text) { return Utf8(text); }

// A section read whole may be large (a [Timer] section of 100,000 entries holds about 4 million
// characters); one beyond this is not read.
constexpr std::size_t kMaxSectionChars = std::size_t{1} << 26;

}  // namespace

std::string Win32IniProfile::ReadString(const std::string& path, const std::string& section,
                                        const std::string& key, const std::string& def) const {
  auto value = std::make_shared<std::string>();
  const bool read = reads_.Run(
      path, [value, file = Wide(path), section = Text(section), key = Text(key), def = Text(def)] {
        wchar_t buffer[kMaxValueChars + 1];
        const DWORD length =
            GetPrivateProfileStringW(section.c_str(), key.c_str(), def.c_str(), buffer,
                                     static_cast<DWORD>(std::size(buffer)), file.c_str());
        *value = Text(std::wstring_view(buffer, length));
      });
  // Unread, it is what a missing file gives: the default, passed through the code page.
  return read ? *value : Text(Text(def));
}

bool Win32IniProfile::WriteString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& value) {
  if (reads_.Blocked(path)) return false;
  return WritePrivateProfileStringW(Text(section).c_str(), Text(key).c_str(), Text(value).c_str(),
                                    Wide(path).c_str()) != FALSE;
}

bool Win32IniProfile::DeleteKey(const std::string& path, const std::string& section,
                                const std::string& key) {
  if (reads_.Blocked(path)) return false;
  return WritePrivateProfileStringW(Text(section).c_str(), Text(key).c_str(), nullptr,
                                    Wide(path).c_str()) != FALSE;
}

bool Win32IniProfile::WriteDenied(const std::string& path) const {
  // A held file is held for a while, not denied for good.
  if (reads_.Blocked(path)) return false;
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
  auto buffer = std::make_shared<std::vector<wchar_t>>(kKeyListBytes + 2);
  if (!reads_.Run(path, [buffer, file = Wide(path), section = Text(section)] {
        GetPrivateProfileStringW(section.c_str(), nullptr, L"", buffer->data(),
                                 static_cast<DWORD>(buffer->size()), file.c_str());
      }))
    return {};
  std::vector<std::string> names;
  std::size_t used = 1;  // the final zero
  const wchar_t* const end = buffer->data() + buffer->size();
  for (const wchar_t* p = buffer->data(); p < end && *p;) {
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
  // Left empty when the section is too large to be read whole.
  auto buffer = std::make_shared<std::vector<wchar_t>>();
  if (!reads_.Run(path,
                  [buffer, name = Text(section), file = Wide(path)] {
                    std::vector<wchar_t> grown(kKeyListBytes);
                    for (;;) {
                      const DWORD length =
                          GetPrivateProfileSectionW(name.c_str(), grown.data(),
                                                    static_cast<DWORD>(grown.size()), file.c_str());
                      // "Size less two" may mean a section cut short: only a smaller answer is
                      // surely whole.
                      if (length + 2 < grown.size()) break;
                      if (grown.size() >= kMaxSectionChars) return;
                      grown.assign(grown.size() * 2, L'\0');
                    }
                    *buffer = std::move(grown);
                  }) ||
      buffer->empty())
    return std::nullopt;
  std::vector<std::string> entries;
  for (const wchar_t* p = buffer->data(); *p;) {
    const std::wstring_view entry(p);
    entries.push_back(Text(entry));
    p += entry.size() + 1;
  }
  return entries;
}

bool Win32IniProfile::WriteSection(const std::string& path, const std::string& section,
                                   const std::vector<std::string>& entries) {
  if (reads_.Blocked(path)) return false;
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

bool Win32IniProfile::Held(const std::string& path) const { return reads_.Held(path); }

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
