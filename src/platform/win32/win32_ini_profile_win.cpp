#include "platform/win32/win32_ini_profile_win.h"

#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

#include "platform/code_page.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {
namespace {

// The file's path goes to the wide functions whole, so that a data folder outside the ANSI code
// page is found. Names and values are UTF-8 in the program. A file that starts with the UTF-16LE
// byte-order mark holds Unicode, and the profile functions keep it so; any other holds text of
// that code page, and what goes to it passes through the code page first, so that the system's
// own conversion has nothing left to guess and what the file holds is what a read gives back.
std::wstring Text(std::string_view text, bool unicode) {
  return unicode ? Wide(text) : Wide(Utf8FromCodePage(CodePageFromUtf8(text)));
}
std::string Text(std::wstring_view text) { return Utf8(text); }

bool FitsCodePage(std::string_view text) {
  return Utf8FromCodePage(CodePageFromUtf8(text)) == text;
}

constexpr char kUnicodeMark[] = {'\xFF', '\xFE'};

// A section read whole may be large (a [Timer] section of 100,000 entries holds about 4 million
// characters); one beyond this is not read.
constexpr std::size_t kMaxSectionChars = std::size_t{1} << 26;
// A file of the code page larger than this is no settings file, and is not rewritten.
constexpr LONGLONG kMaxRewrittenBytes = LONGLONG{1} << 28;

enum class Encoding { kCodePage, kUnicode, kUnknown };

// What the profile functions will find: the file as they open it, link or not. A missing file
// holds nothing yet; one that cannot be read says nothing, and a call on it goes no further,
// since text passed in the wrong form would name no key or be stored as "?".
Encoding EncodingOf(const std::wstring& path) {
  const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Encoding::kCodePage
                                                                          : Encoding::kUnknown;
  }
  char mark[2] = {};
  DWORD read = 0;
  if (!ReadFile(file.Get(), mark, sizeof mark, &read, nullptr)) return Encoding::kUnknown;
  return read == sizeof mark && mark[0] == kUnicodeMark[0] && mark[1] == kUnicodeMark[1]
             ? Encoding::kUnicode
             : Encoding::kCodePage;
}

// Rewrites the file, in place so that it keeps its rights, as UTF-16LE with the byte-order mark:
// the same lines, from then on read and written in Unicode. A missing file is made with the mark
// alone. Refused for a link or a file with more than one name, which would carry the write
// elsewhere.
bool MakeUnicode(const std::wstring& path) {
  // The entry itself, never what a link in its place points to; no other writer gets in while
  // it is rewritten, so no one's key is lost between the read and the write.
  const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                      nullptr, OPEN_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  LARGE_INTEGER size{};
  if (!file || !GetFileInformationByHandle(file.Get(), &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
      info.nNumberOfLinks > 1 || !GetFileSizeEx(file.Get(), &size) ||
      size.QuadPart > kMaxRewrittenBytes)
    return false;
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size()))
    return false;
  // Another program made it Unicode in the meantime.
  if (bytes.size() >= 2 && bytes[0] == kUnicodeMark[0] && bytes[1] == kUnicodeMark[1]) return true;
  const std::wstring text = Wide(Utf8FromCodePage(bytes));
  std::string unicode(kUnicodeMark, sizeof kUnicodeMark);
  unicode.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  LARGE_INTEGER start{};
  DWORD written = 0;
  return SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN) &&
         WriteFile(file.Get(), unicode.data(), static_cast<DWORD>(unicode.size()), &written,
                   nullptr) &&
         written == unicode.size() && SetEndOfFile(file.Get()) && FlushFileBuffers(file.Get());
}

template <typename Texts>
bool AllFitCodePage(const Texts& texts) {
  return std::all_of(texts.begin(), texts.end(),
                     [](std::string_view text) { return FitsCodePage(text); });
}

// Whether texts go to a Unicode file, which the file is made first when they do not all fit
// the code page; nullopt when it could not be made so, or its encoding cannot be told.
std::optional<bool> UnicodeFor(const std::wstring& path, bool textsFit) {
  const Encoding encoding = EncodingOf(path);
  if (encoding == Encoding::kUnknown) return std::nullopt;
  if (encoding == Encoding::kUnicode) return true;
  if (textsFit) return false;
  if (!MakeUnicode(path)) return std::nullopt;
  return true;
}

// A write of text outside the code page succeeded only if the file is still Unicode: another
// program that rewrote it in the code page meanwhile made the system store "?".
bool KeptWhole(const std::wstring& path, bool textsFit) {
  return textsFit || EncodingOf(path) == Encoding::kUnicode;
}

// A value cut at the buffer's end keeps no half of a surrogate pair.
std::wstring_view WholeCharacters(std::wstring_view text, std::size_t limit) {
  if (text.size() == limit && !text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF)
    text.remove_suffix(1);
  return text;
}

}  // namespace

std::string Win32IniProfile::ReadString(const std::string& path, const std::string& section,
                                        const std::string& key, const std::string& def) const {
  auto value = std::make_shared<std::string>();
  auto known = std::make_shared<bool>(false);
  const bool read = reads_.Run(path, [value, known, file = Wide(path), section, key, def] {
    const Encoding encoding = EncodingOf(file);
    if (encoding == Encoding::kUnknown) return;
    const bool unicode = encoding == Encoding::kUnicode;
    wchar_t buffer[kMaxValueChars + 1];
    const DWORD length = GetPrivateProfileStringW(
        Text(section, unicode).c_str(), Text(key, unicode).c_str(), Text(def, unicode).c_str(),
        buffer, static_cast<DWORD>(std::size(buffer)), file.c_str());
    *value = Text(WholeCharacters(std::wstring_view(buffer, length), kMaxValueChars));
    *known = true;
  });
  // Unread, it is what a missing file gives: the default, passed through the code page.
  return read && *known ? *value : Text(Text(def, false));
}

bool Win32IniProfile::WriteString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& value) {
  if (reads_.Blocked(path)) return false;
  const std::wstring file = Wide(path);
  const bool fit = AllFitCodePage(std::initializer_list<std::string_view>{section, key, value});
  const std::optional<bool> unicode = UnicodeFor(file, fit);
  return unicode &&
         WritePrivateProfileStringW(Text(section, *unicode).c_str(), Text(key, *unicode).c_str(),
                                    Text(value, *unicode).c_str(), file.c_str()) != FALSE &&
         KeptWhole(file, fit);
}

bool Win32IniProfile::DeleteKey(const std::string& path, const std::string& section,
                                const std::string& key) {
  if (reads_.Blocked(path)) return false;
  const std::wstring file = Wide(path);
  const Encoding encoding = EncodingOf(file);
  if (encoding == Encoding::kUnknown) return false;
  const bool unicode = encoding == Encoding::kUnicode;
  return WritePrivateProfileStringW(Text(section, unicode).c_str(), Text(key, unicode).c_str(),
                                    nullptr, file.c_str()) != FALSE;
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
  if (!reads_.Run(path, [buffer, file = Wide(path), section] {
        const Encoding encoding = EncodingOf(file);
        if (encoding == Encoding::kUnknown) return;
        GetPrivateProfileStringW(Text(section, encoding == Encoding::kUnicode).c_str(), nullptr,
                                 L"", buffer->data(), static_cast<DWORD>(buffer->size()),
                                 file.c_str());
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
                  [buffer, section, file = Wide(path)] {
                    const Encoding encoding = EncodingOf(file);
                    if (encoding == Encoding::kUnknown) return;
                    const std::wstring name = Text(section, encoding == Encoding::kUnicode);
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
  const std::wstring file = Wide(path);
  const bool fit = FitsCodePage(section) && AllFitCodePage(entries);
  const std::optional<bool> unicode = UnicodeFor(file, fit);
  if (!unicode) return false;
  // Each entry ends with a zero, and one more zero ends the block.
  std::wstring block;
  for (const std::string& entry : entries) {
    block += Text(entry, *unicode);
    block += L'\0';
  }
  block += L'\0';
  return WritePrivateProfileSectionW(Text(section, *unicode).c_str(), block.c_str(),
                                     file.c_str()) != FALSE &&
         KeptWhole(file, fit);
}

bool Win32IniProfile::Held(const std::string& path) const { return reads_.Held(path); }

// The profile functions compare names without regard to case, by the system's own upper-case
// table. A name the code page cannot hold is written only to a Unicode file, where it stays as
// it is; every other passes through the code page unchanged.
std::string Win32IniProfile::NameKey(std::string_view name) const {
  const std::wstring text = Wide(name);
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  std::wstring upper(text.size(), L'\0');
  LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, text.data(), length, upper.data(), length);
  return std::string(reinterpret_cast<const char*>(upper.data()), upper.size() * sizeof(wchar_t));
}

}  // namespace halcyra
