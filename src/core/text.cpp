#include "core/text.h"

#include <algorithm>

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

}  // namespace

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
