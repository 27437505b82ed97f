#include "platform/portable/portable_ini_profile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <unordered_map>

#include "core/text.h"

namespace halcyra {

namespace fs = std::filesystem;

// One line of the file, classified; text is the line as it stands, without its line end.
struct IniLine {
  // kOther: blank lines and lines without "=", which hold no key.
  enum class Kind { kOther, kSection, kKey } kind = Kind::kOther;
  std::string text;
  std::string name;   // section or key name
  std::string value;  // key value, trimmed, quotes kept
};

namespace {

std::string_view TrimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

IniLine Classify(std::string text) {
  IniLine line;
  const std::string_view t = TrimBlanks(text);
  const std::size_t eq = t.find('=');
  if (t.empty()) {
    line.kind = IniLine::Kind::kOther;
  } else if (t.front() == '[') {
    line.kind = IniLine::Kind::kSection;
    const std::size_t close = t.find(']');
    line.name = std::string(TrimBlanks(
        t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
  } else if (eq == std::string_view::npos) {
    line.kind = IniLine::Kind::kOther;
  } else {
    line.kind = IniLine::Kind::kKey;
    line.name = std::string(TrimBlanks(t.substr(0, eq)));
    line.value = std::string(TrimBlanks(t.substr(eq + 1)));
  }
  line.text = std::move(text);
  return line;
}

// The file's size and last write: a file that shows the same two is the file already parsed.
struct Stamp {
  std::uintmax_t size = 0;
  fs::file_time_type written{};
  bool operator==(const Stamp&) const = default;
};

// One look at the file system per operation: the entry reads size and time together.
std::optional<Stamp> StampOf(const std::string& path) {
  std::error_code error;
  const fs::directory_entry entry(fs::path(path), error);
  if (error || !entry.is_regular_file(error)) return std::nullopt;
  const auto size = entry.file_size(error);
  if (error) return std::nullopt;
  const auto written = entry.last_write_time(error);
  if (error) return std::nullopt;
  return Stamp{size, written};
}

std::optional<std::vector<IniLine>> Parse(const std::string& path) {
  std::ifstream in(fs::path(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<IniLine> lines;
  std::string text;
  while (std::getline(in, text)) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    lines.push_back(Classify(std::move(text)));
  }
  return lines;
}

bool Save(const std::string& path, const std::vector<IniLine>& lines) {
  std::string content;
  for (const IniLine& line : lines) content += line.text + "\r\n";
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

std::optional<SectionRange> FindSection(const std::vector<IniLine>& lines,
                                        const std::string& section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != IniLine::Kind::kSection || !EqualsIgnoreCase(lines[i].name, section))
      continue;
    std::size_t end = i + 1;
    while (end < lines.size() && lines[end].kind != IniLine::Kind::kSection) ++end;
    return SectionRange{i, i + 1, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<IniLine>& lines, const SectionRange& range,
                                   const std::string& key) {
  for (std::size_t i = range.begin; i < range.end; ++i)
    if (lines[i].kind == IniLine::Kind::kKey && EqualsIgnoreCase(lines[i].name, key)) return i;
  return std::nullopt;
}

std::string Unquoted(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

// A file as parsed once, with the first section of each name and the first key of each name in
// it found by lookup: reading every key of a large section stays linear.
struct PortableIniProfile::ParsedFile {
  std::string path;
  Stamp stamp;
  std::vector<IniLine> lines;
  std::unordered_map<std::string, SectionRange> sections;  // by upper-case name
  std::unordered_map<std::string, std::unordered_map<std::string, std::size_t>> keys;

  ParsedFile(std::string p, Stamp s, std::vector<IniLine> l)
      : path(std::move(p)), stamp(s), lines(std::move(l)) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].kind != IniLine::Kind::kSection) continue;
      std::size_t end = i + 1;
      while (end < lines.size() && lines[end].kind != IniLine::Kind::kSection) ++end;
      sections.emplace(UpperAscii(lines[i].name), SectionRange{i, i + 1, end});
    }
  }
  const SectionRange* Section(const std::string& name) const {
    const auto found = sections.find(UpperAscii(name));
    return found == sections.end() ? nullptr : &found->second;
  }
  std::optional<std::size_t> Key(const std::string& section, const std::string& key) {
    const SectionRange* range = Section(section);
    if (!range) return std::nullopt;
    auto [index, fresh] = keys.try_emplace(UpperAscii(section));
    if (fresh)
      for (std::size_t i = range->begin; i < range->end; ++i)
        if (lines[i].kind == IniLine::Kind::kKey)
          index->second.emplace(UpperAscii(lines[i].name), i);
    const auto found = index->second.find(UpperAscii(key));
    if (found == index->second.end()) return std::nullopt;
    return found->second;
  }
};

PortableIniProfile::PortableIniProfile() = default;
PortableIniProfile::~PortableIniProfile() = default;

PortableIniProfile::ParsedFile* PortableIniProfile::Load(const std::string& path) const {
  const auto stamp = StampOf(path);
  if (!stamp) {
    cache_.reset();
    return nullptr;
  }
  if (cache_ && cache_->path == path && cache_->stamp == *stamp) return cache_.get();
  auto lines = Parse(path);
  if (!lines) {
    cache_.reset();
    return nullptr;
  }
  cache_ = std::make_unique<ParsedFile>(path, *stamp, std::move(*lines));
  return cache_.get();
}

bool PortableIniProfile::Store(const std::string& path, const std::vector<IniLine>& lines) {
  // Whatever was parsed of the file is old now.
  cache_.reset();
  return Save(path, lines);
}

std::string PortableIniProfile::ReadString(const std::string& path, const std::string& section,
                                           const std::string& key, const std::string& def) const {
  ParsedFile* file = Load(path);
  if (!file) return def;
  const auto index = file->Key(section, key);
  if (!index) return def;
  std::string value = Unquoted(file->lines[*index].value);
  if (value.size() > kMaxValueChars) value.resize(kMaxValueChars);
  return value;
}

bool PortableIniProfile::WriteString(const std::string& path, const std::string& section,
                                     const std::string& key, const std::string& value) {
  const ParsedFile* file = Load(path);
  std::vector<IniLine> lines = file ? file->lines : std::vector<IniLine>{};
  const auto range = FindSection(lines, section);
  if (!range) {
    lines.push_back(Classify("[" + section + "]"));
    lines.push_back(Classify(key + "=" + value));
    return Store(path, lines);
  }
  if (const auto index = FindKey(lines, *range, key)) {
    lines[*index] = Classify(lines[*index].name + "=" + value);
    return Store(path, lines);
  }
  // New keys follow the section's last non-blank line.
  std::size_t insertAt = range->end;
  while (insertAt > range->begin && TrimBlanks(lines[insertAt - 1].text).empty()) --insertAt;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), Classify(key + "=" + value));
  return Store(path, lines);
}

bool PortableIniProfile::DeleteKey(const std::string& path, const std::string& section,
                                   const std::string& key) {
  ParsedFile* file = Load(path);
  if (!file) return true;
  const auto index = file->Key(section, key);
  if (!index) return true;
  std::vector<IniLine> lines = file->lines;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*index));
  return Store(path, lines);
}

std::vector<std::string> PortableIniProfile::ReadKeys(const std::string& path,
                                                      const std::string& section) const {
  std::vector<std::string> names;
  const ParsedFile* file = Load(path);
  if (!file) return names;
  const SectionRange* range = file->Section(section);
  if (!range) return names;
  const std::vector<IniLine>* lines = &file->lines;
  // The names, each with its zero byte, and a final zero byte share one buffer; the first name
  // that does not fit whole ends the list.
  std::size_t room = kKeyListBytes;
  for (std::size_t i = range->begin; i < range->end; ++i) {
    const IniLine& line = (*lines)[i];
    // A comment line can be read by its full name but is not listed.
    if (line.kind != IniLine::Kind::kKey || line.name.empty() || line.name.front() == ';') continue;
    if (line.name.size() + 2 > room) break;
    names.push_back(line.name);
    room -= line.name.size() + 1;
  }
  return names;
}

}  // namespace halcyra
