#include "platform/portable/portable_ini_profile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "core/text.h"

namespace halcyra {
namespace {

namespace fs = std::filesystem;

std::string_view TrimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

// One line of the file, classified; text is the line as it stands, without its line end.
struct Line {
  // kOther: blank lines and lines without "=", which hold no key.
  enum class Kind { kOther, kSection, kKey } kind = Kind::kOther;
  std::string text;
  std::string name;   // section or key name
  std::string value;  // key value, trimmed, quotes kept
};

Line Classify(std::string text) {
  Line line;
  const std::string_view t = TrimBlanks(text);
  const std::size_t eq = t.find('=');
  if (t.empty()) {
    line.kind = Line::Kind::kOther;
  } else if (t.front() == '[') {
    line.kind = Line::Kind::kSection;
    const std::size_t close = t.find(']');
    line.name = std::string(TrimBlanks(
        t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
  } else if (eq == std::string_view::npos) {
    line.kind = Line::Kind::kOther;
  } else {
    line.kind = Line::Kind::kKey;
    line.name = std::string(TrimBlanks(t.substr(0, eq)));
    line.value = std::string(TrimBlanks(t.substr(eq + 1)));
  }
  line.text = std::move(text);
  return line;
}

std::optional<std::vector<Line>> Load(const std::string& path) {
  std::ifstream in(fs::path(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<Line> lines;
  std::string text;
  while (std::getline(in, text)) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    lines.push_back(Classify(std::move(text)));
  }
  return lines;
}

bool Save(const std::string& path, const std::vector<Line>& lines) {
  std::string content;
  for (const Line& line : lines) content += line.text + "\r\n";
  const fs::path target(path);
  fs::path temp = target;
  temp += ".tmp~";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      fs::remove(temp, ignored);
      return false;
    }
  }
  std::error_code error;
  fs::rename(temp, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return false;
  }
  return true;
}

// The range [begin, end) of the section's lines after its header, or nullopt.
struct SectionRange {
  std::size_t header, begin, end;
};

std::optional<SectionRange> FindSection(const std::vector<Line>& lines,
                                        const std::string& section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != Line::Kind::kSection || !EqualsIgnoreCase(lines[i].name, section))
      continue;
    std::size_t end = i + 1;
    while (end < lines.size() && lines[end].kind != Line::Kind::kSection) ++end;
    return SectionRange{i, i + 1, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<Line>& lines, const SectionRange& range,
                                   const std::string& key) {
  for (std::size_t i = range.begin; i < range.end; ++i)
    if (lines[i].kind == Line::Kind::kKey && EqualsIgnoreCase(lines[i].name, key)) return i;
  return std::nullopt;
}

std::string Unquoted(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

std::string PortableIniProfile::ReadString(const std::string& path, const std::string& section,
                                           const std::string& key, const std::string& def) const {
  const auto lines = Load(path);
  if (!lines) return def;
  const auto range = FindSection(*lines, section);
  if (!range) return def;
  const auto index = FindKey(*lines, *range, key);
  if (!index) return def;
  std::string value = Unquoted((*lines)[*index].value);
  if (value.size() > kMaxValueChars) value.resize(kMaxValueChars);
  return value;
}

bool PortableIniProfile::WriteString(const std::string& path, const std::string& section,
                                     const std::string& key, const std::string& value) {
  auto lines = Load(path).value_or(std::vector<Line>{});
  const auto range = FindSection(lines, section);
  if (!range) {
    lines.push_back(Classify("[" + section + "]"));
    lines.push_back(Classify(key + "=" + value));
    return Save(path, lines);
  }
  if (const auto index = FindKey(lines, *range, key)) {
    lines[*index] = Classify(lines[*index].name + "=" + value);
    return Save(path, lines);
  }
  // New keys follow the section's last non-blank line.
  std::size_t insertAt = range->end;
  while (insertAt > range->begin && TrimBlanks(lines[insertAt - 1].text).empty()) --insertAt;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), Classify(key + "=" + value));
  return Save(path, lines);
}

bool PortableIniProfile::DeleteKey(const std::string& path, const std::string& section,
                                   const std::string& key) {
  auto lines = Load(path);
  if (!lines) return true;
  const auto range = FindSection(*lines, section);
  if (!range) return true;
  const auto index = FindKey(*lines, *range, key);
  if (!index) return true;
  lines->erase(lines->begin() + static_cast<std::ptrdiff_t>(*index));
  return Save(path, *lines);
}

std::vector<std::string> PortableIniProfile::ReadKeys(const std::string& path,
                                                      const std::string& section) const {
  std::vector<std::string> names;
  const auto lines = Load(path);
  if (!lines) return names;
  const auto range = FindSection(*lines, section);
  if (!range) return names;
  // The names, each with its zero byte, and a final zero byte share one buffer; the first name
  // that does not fit whole ends the list.
  std::size_t room = kKeyListBytes;
  for (std::size_t i = range->begin; i < range->end; ++i) {
    const Line& line = (*lines)[i];
    // A comment line can be read by its full name but is not listed.
    if (line.kind != Line::Kind::kKey || line.name.empty() || line.name.front() == ';') continue;
    if (line.name.size() + 2 > room) break;
    names.push_back(line.name);
    room -= line.name.size() + 1;
  }
  return names;
}

}  // namespace halcyra
