#include "core/text.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace halcyra {

namespace {

char UpperAsciiChar(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The simple upper case of the letters a settings file's names are most often written in: the
// Latin, Greek and Cyrillic alphabets and the full-width Latin letters, as Windows' own table
// folds them. Every other character stands for itself.
char32_t UpperChar(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 0x20;
  if (c < 0xE0) return c;
  // Latin-1: the small letters sit 0x20 above their capitals, except the division sign.
  if (c <= 0xFE) return c == 0xF7 ? c : c - 0x20;
  if (c == 0xFF) return 0x178;
  // Latin Extended-A: pairs of a capital and its small letter, capital first except in the two
  // runs where the capital sits at the odd place.
  if (c >= 0x100 && c <= 0x17F) {
    const bool oddCapitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    // The dotless i, kra, n preceded by apostrophe and long s have no capital of their own
    // here: two names that differ in them stay two.
    if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    const bool small = oddCapitals ? c % 2 == 0 : c % 2 == 1;
    return small ? c - 1 : c;
  }
  if (c == 0x3C2) return 0x3A3;  // the final sigma
  if ((c >= 0x3B1 && c <= 0x3C9) || (c >= 0x430 && c <= 0x44F)) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;
  return c;
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
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
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

namespace {

// The folded character at text[i] and its length; a byte that starts no valid sequence stands
// for itself, apart from every character.
std::pair<char32_t, std::size_t> FoldedAt(std::string_view text, std::size_t i) {
  const auto [c, length] = DecodeUtf8(text, i);
  if (c == 0xFFFD && length == 1) return {0x110000 + static_cast<unsigned char>(text[i]), 1};
  return {UpperChar(c), length};
}

}  // namespace

std::string UpperUnicode(std::string_view text) {
  if (IsAscii(text)) return UpperAscii(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto [c, length] = FoldedAt(text, i);
    if (c >= 0x110000)
      out += text[i];
    else
      AppendUtf8(out, c);
    i += length;
  }
  return out;
}

bool IgnoreCaseEqual::operator()(std::string_view a, std::string_view b) const {
  std::size_t i = 0, k = 0;
  while (i < a.size() && k < b.size()) {
    const auto [x, xLength] = FoldedAt(a, i);
    const auto [y, yLength] = FoldedAt(b, k);
    if (x != y) return false;
    i += xLength;
    k += yLength;
  }
  return i == a.size() && k == b.size();
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return UpperAsciiChar(x) == UpperAsciiChar(y); });
}

std::size_t IgnoreCaseHash::operator()(std::string_view text) const {
  // FNV-1a over the folded characters: equal texts by IgnoreCaseEqual hash alike.
  std::size_t hash = 14695981039346656037ull;
  for (std::size_t i = 0; i < text.size();) {
    const auto [folded, length] = FoldedAt(text, i);
    hash ^= folded;
    hash *= 1099511628211ull;
    i += length;
  }
  return hash;
}

std::string Utf16LeFromUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  const auto unit = [&out](char32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  for (std::size_t i = 0; i < text.size();) {
    const auto [c, length] = DecodeUtf8(text, i);
    if (c >= 0x10000) {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      unit(c);
    }
    i += length;
  }
  return out;
}

std::string Utf8FromUtf16Le(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  const auto unit = [&bytes](std::size_t at) {
    return static_cast<char32_t>(static_cast<unsigned char>(bytes[at]) |
                                 static_cast<unsigned char>(bytes[at + 1]) << 8);
  };
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char32_t c = unit(i);
    const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
                      unit(i + 2) <= 0xDFFF;
    if (pair) {
      AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00));
      i += 2;
    } else {
      AppendUtf8(out, c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c);
    }
  }
  return out;
}

std::size_t Utf16Length(std::string_view text) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < text.size();) {
    const auto [c, length] = DecodeUtf8(text, i);
    units += c >= 0x10000 ? 2 : 1;
    i += length;
  }
  return units;
}

std::string Utf16Prefix(std::string_view text, std::size_t units) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto [c, length] = DecodeUtf8(text, i);
    const std::size_t need = c >= 0x10000 ? 2 : 1;
    if (need > units) break;
    units -= need;
    i += length;
  }
  return std::string(text.substr(0, i));
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
