#include "core/text.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace halcyra {

namespace {

char UpperAsciiChar(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

char UpperWindows1252Char(char c) {
  const auto u = static_cast<unsigned char>(c);
  // The small accented letters sit 0x20 above their capitals, except the division sign 0xF7.
  if (u >= 0xE0 && u != 0xF7 && u != 0xFF) return static_cast<char>(u - 0x20);
  switch (u) {
    case 0x9A:  // s with caron
    case 0x9C:  // oe
    case 0x9E:  // z with caron
      return static_cast<char>(u - 0x10);
    case 0xFF:  // y with diaeresis
      return static_cast<char>(0x9F);
    default:
      return UpperAsciiChar(c);
  }
}

// The characters of 0x80 to 0x9F; the five bytes the code page leaves free stand for the
// control characters of their own value, as Windows converts them.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char Windows1252Char(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t i = 0; i < std::size(kWindows1252High); ++i)
    if (kWindows1252High[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The character that starts at text[i] and its length in bytes; a byte that starts no valid
// sequence is one character that no code page holds.
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view text, std::size_t i) {
  constexpr char32_t kInvalid = 0xFFFD;
  const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return {lead, 1};
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || i + length > text.size()) return {kInvalid, 1};
  char32_t c = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return {kInvalid, 1};
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {kInvalid, 1};
  return {c, length};
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string Windows1252FromUtf8(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto [c, length] = DecodeUtf8(text, i);
    out += Windows1252Char(c);
    i += length;
  }
  return out;
}

std::string Utf8FromWindows1252(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() * 2);
  for (const char byte : text) {
    const auto u = static_cast<unsigned char>(byte);
    AppendUtf8(out, u >= 0x80 && u < 0xA0 ? kWindows1252High[u - 0x80] : char32_t{u});
  }
  return out;
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperAsciiChar(c);
  return out;
}

std::string UpperWindows1252(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperWindows1252Char(c);
  return out;
}

bool IgnoreCaseEqual::operator()(std::string_view a, std::string_view b) const {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return UpperWindows1252Char(x) == UpperWindows1252Char(y);
  });
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return UpperAsciiChar(x) == UpperAsciiChar(y); });
}

std::size_t IgnoreCaseHash::operator()(std::string_view text) const {
  // FNV-1a over the folded letters: equal texts by IgnoreCaseEqual hash alike.
  std::size_t hash = 14695981039346656037ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(UpperWindows1252Char(c));
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string_view TrimControl(std::string_view text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return text.substr(begin, end - begin);
}

std::optional<std::int64_t> ParseDecimal(std::string_view text, std::int64_t cap,
                                         LeadingBlanks blanks) {
  std::size_t i = 0;
  if (blanks == LeadingBlanks::Skipped)
    while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    if (value < cap) value = std::min(value * 10 + (text[i] - '0'), cap);
  }
  return negative ? -value : value;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '\\') path += '\\';
  return path.append(name);
}

std::string WithoutTrailingBackslash(std::string_view folder) {
  if (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
  return std::string(folder);
}

std::string FolderOf(std::string_view path) {
  const std::size_t cut = path.find_last_of('\\');
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut));
}

}  // namespace halcyra
