#include "platform/portable/portable_ini_profile.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unordered_map>

#include "core/text.h"
#include "platform/portable/portable_file_stamps.h"

namespace halcyra {

namespace fs = std::filesystem;

namespace {

// A file that starts with this byte-order mark holds UTF-16LE; any other, Windows-1252.
constexpr std::string_view kUnicodeMark = "\xFF\xFE";

bool FitsCodePage(std::string_view text) {
  return Utf8FromWindows1252(Windows1252FromUtf8(text)) == text;
}

// A name as the file can hold it: one of Windows-1252 reaches it through that code page.
std::string FileName(std::string_view name, bool unicode) {
  return unicode ? std::string(name) : Utf8FromWindows1252(Windows1252FromUtf8(name));
}

std::string_view TrimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

// One line of the file, classified. The views point into the text of the file it came from.
struct IniLine {
  // kOther: blank lines and lines without "=", which hold no key.
  enum class Kind { kOther, kSection, kKey } kind = Kind::kOther;
  std::string_view text;   // the line as it stands, without its line end
  std::string_view name;   // section or key name
  std::string_view value;  // key value, trimmed, quotes kept
};

IniLine Classify(std::string_view text) {
  IniLine line;
  line.text = text;
  const std::string_view t = TrimBlanks(text);
  if (t.empty()) return line;
  if (t.front() == '[') {
    line.kind = IniLine::Kind::kSection;
    const std::size_t close = t.find(']');
    line.name = TrimBlanks(
        t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return line;
  }
  const std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return line;
  line.kind = IniLine::Kind::kKey;
  line.name = TrimBlanks(t.substr(0, eq));
  line.value = TrimBlanks(t.substr(eq + 1));
  return line;
}

// `expected`: the size the file showed a moment ago; the text read is what is there now.
std::optional<std::string> ReadWhole(const std::string& path, std::uint64_t expected) {
  std::ifstream in(fs::path(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::string content;
  content.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(expected, 1u << 26)));
  char chunk[16384];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
    content.append(chunk, static_cast<std::size_t>(in.gcount()));
  return content;
}

// The file's bytes as the program's UTF-8, and back.
std::string Decoded(std::string_view bytes, bool& unicode) {
  unicode = bytes.starts_with(kUnicodeMark);
  return unicode ? Utf8FromUtf16Le(bytes.substr(kUnicodeMark.size())) : Utf8FromWindows1252(bytes);
}
std::string Encoded(std::string_view text, bool unicode) {
  return unicode ? std::string(kUnicodeMark) + Utf16LeFromUtf8(text) : Windows1252FromUtf8(text);
}

// Lines end at "\n", with one "\r" before it dropped; a last line without an end counts.
std::vector<IniLine> Split(std::string_view content) {
  std::vector<IniLine> lines;
  lines.reserve(static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n')) + 1);
  std::size_t begin = 0;
  while (begin < content.size()) {
    std::size_t end = content.find('\n', begin);
    if (end == std::string_view::npos) end = content.size();
    std::string_view text = content.substr(begin, end - begin);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    lines.push_back(Classify(text));
    begin = end + 1;
  }
  return lines;
}

// Writes the whole file and gives the stamp it shows afterwards, or nullopt when it could not
// be written. The stamp is taken from the temporary file before the rename, which keeps it: a
// write by someone else after the rename shows as another stamp.
std::optional<FileStamp> Save(const std::string& path, const std::string& content) {
  const fs::path target(path);
  fs::path temp = target;
  temp += ".tmp~";
  const auto discard = [&temp] {
    std::error_code ignored;
    fs::remove(temp, ignored);
  };
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return std::nullopt;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) {
      out.close();
      discard();
      return std::nullopt;
    }
  }
  const auto stamp = PortableFileStamps{}.Stamp(temp.string());
  std::error_code error;
  fs::rename(temp, target, error);
  if (error || !stamp) {
    discard();
    return std::nullopt;
  }
  return stamp;
}

// The lines of a section after its header: [begin, end).
struct SectionRange {
  std::size_t header, begin, end;
};

std::string Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

}  // namespace

// A file as parsed once, with the first section of each name and the first key of each name in
// it found by lookup: reading every key of a large section stays linear.
struct PortableIniProfile::ParsedFile {
  std::string path;
  FileStamp stamp;      // a file that shows the same size and last write is the file parsed
  bool unicode;         // the file holds UTF-16LE
  std::string content;  // UTF-8
  std::vector<IniLine> lines;
  template <typename T>
  using ByName = std::unordered_map<std::string_view, T, IgnoreCaseHash, IgnoreCaseEqual>;
  ByName<SectionRange> sections;
  // Each section's keys, by the line of its header, indexed when first asked for.
  std::unordered_map<std::size_t, ByName<std::size_t>> keys;

  ParsedFile(std::string p, FileStamp s, bool u, std::string c)
      : path(std::move(p)), stamp(s), unicode(u), content(std::move(c)), lines(Split(content)) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].kind != IniLine::Kind::kSection) continue;
      std::size_t end = i + 1;
      while (end < lines.size() && lines[end].kind != IniLine::Kind::kSection) ++end;
      sections.emplace(lines[i].name, SectionRange{i, i + 1, end});
    }
  }
  ParsedFile(const ParsedFile&) = delete;  // the lines point into this object's content
  ParsedFile& operator=(const ParsedFile&) = delete;

  const SectionRange* Section(std::string_view name) const {
    const auto found = sections.find(name);
    return found == sections.end() ? nullptr : &found->second;
  }
  std::optional<std::size_t> Key(std::string_view section, std::string_view key) {
    const SectionRange* range = Section(section);
    if (!range) return std::nullopt;
    auto [index, fresh] = keys.try_emplace(range->header);
    if (fresh)
      for (std::size_t i = range->begin; i < range->end; ++i)
        if (lines[i].kind == IniLine::Kind::kKey) index->second.emplace(lines[i].name, i);
    const auto found = index->second.find(key);
    if (found == index->second.end()) return std::nullopt;
    return found->second;
  }
};

// One change to a file: `drops` lines from `at` on dropped, and `insert` (whole lines, without
// the last line end) put before them. `at` may be the number of lines: the end of the file.
struct PortableIniProfile::Edit {
  std::size_t at = 0;
  std::size_t drops = 0;
  std::string insert;
};

PortableIniProfile::PortableIniProfile() = default;

bool PortableIniProfile::Unicode(const ParsedFile* file,
                                 const std::vector<std::string_view>& texts) {
  if (file && file->unicode) return true;
  return !std::all_of(texts.begin(), texts.end(), FitsCodePage);
}
PortableIniProfile::~PortableIniProfile() = default;

PortableIniProfile::ParsedFile* PortableIniProfile::Load(const std::string& path) const {
  const auto stamp = PortableFileStamps{}.Stamp(path);
  if (!stamp) {
    cache_.reset();
    return nullptr;
  }
  if (cache_ && cache_->path == path && cache_->stamp == *stamp) return cache_.get();
  const auto bytes = ReadWhole(path, stamp->size);
  if (!bytes) {
    cache_.reset();
    return nullptr;
  }
  bool unicode = false;
  std::string content = Decoded(*bytes, unicode);
  cache_ = std::make_unique<ParsedFile>(path, *stamp, unicode, std::move(content));
  return cache_.get();
}

bool PortableIniProfile::Store(const std::string& path, const Edit& edit, bool unicode) {
  std::string content;
  const auto put = [&content](std::string_view line) {
    content.append(line);
    content.append("\r\n");
  };
  const std::vector<IniLine> none;
  const std::vector<IniLine>& lines = cache_ && cache_->path == path ? cache_->lines : none;
  for (std::size_t i = 0; i <= lines.size(); ++i) {
    if (i == edit.at && !edit.insert.empty()) put(edit.insert);
    if (i < lines.size() && !(i >= edit.at && i - edit.at < edit.drops)) put(lines[i].text);
  }
  // The text just written is the file now: no need to read it back.
  cache_.reset();
  const auto stamp = Save(path, Encoded(content, unicode));
  if (stamp) cache_ = std::make_unique<ParsedFile>(path, *stamp, unicode, std::move(content));
  return stamp.has_value();
}

std::string PortableIniProfile::ReadString(const std::string& path, const std::string& section,
                                           const std::string& key, const std::string& def) const {
  ParsedFile* file = Load(path);
  // Unread, it is what a missing file gives: the default, as an ANSI file would hold it.
  if (!file) return FileName(def, false);
  const auto index = file->Key(FileName(section, file->unicode), FileName(key, file->unicode));
  if (!index) return FileName(def, file->unicode);
  return Utf16Prefix(Unquoted(file->lines[*index].value), kMaxValueChars);
}

bool PortableIniProfile::WriteString(const std::string& path, const std::string& programSection,
                                     const std::string& programKey,
                                     const std::string& programValue) {
  ParsedFile* file = Load(path);
  const bool unicode = Unicode(file, {programSection, programKey, programValue});
  const std::string section = FileName(programSection, unicode),
                    key = FileName(programKey, unicode), value = FileName(programValue, unicode);
  const SectionRange* range = file ? file->Section(section) : nullptr;
  if (!range) {
    const std::size_t end = file ? file->lines.size() : 0;
    return Store(path, {end, 0, "[" + section + "]\r\n" + key + "=" + value}, unicode);
  }
  if (const auto index = file->Key(section, key))
    return Store(path, {*index, 1, std::string(file->lines[*index].name) + "=" + value}, unicode);
  // New keys follow the section's last non-blank line.
  std::size_t insertAt = range->end;
  while (insertAt > range->begin && TrimBlanks(file->lines[insertAt - 1].text).empty()) --insertAt;
  return Store(path, {insertAt, 0, key + "=" + value}, unicode);
}

bool PortableIniProfile::DeleteKey(const std::string& path, const std::string& section,
                                   const std::string& key) {
  ParsedFile* file = Load(path);
  if (!file) return true;
  const auto index = file->Key(FileName(section, file->unicode), FileName(key, file->unicode));
  if (!index) return true;
  return Store(path, {*index, 1, {}}, file->unicode);
}

std::optional<std::vector<std::string>> PortableIniProfile::ReadSectionLines(
    const std::string& path, const std::string& section) const {
  std::vector<std::string> entries;
  const ParsedFile* file = Load(path);
  const SectionRange* range = file ? file->Section(FileName(section, file->unicode)) : nullptr;
  if (!range) return entries;
  for (std::size_t i = range->begin; i < range->end; ++i) {
    const IniLine& line = file->lines[i];
    // A line without "=" comes as it stands, without its blanks; comments and blank lines not.
    const std::string_view text = TrimBlanks(line.text);
    if (text.empty() || text.starts_with(';')) continue;
    if (line.kind == IniLine::Kind::kKey)
      entries.push_back(std::string(line.name) + "=" + std::string(line.value));
    else
      entries.push_back(std::string(text));
  }
  return entries;
}

bool PortableIniProfile::WriteSection(const std::string& path, const std::string& programSection,
                                      const std::vector<std::string>& entries) {
  ParsedFile* file = Load(path);
  std::vector<std::string_view> texts(entries.begin(), entries.end());
  texts.push_back(programSection);
  const bool unicode = Unicode(file, texts);
  const std::string section = FileName(programSection, unicode);
  std::string body;
  for (const std::string& entry : entries) {
    // The system takes an entry only with its "=".
    if (entry.find('=') == std::string::npos) continue;
    if (!body.empty()) body += "\r\n";
    body += FileName(entry, unicode);
  }
  const SectionRange* range = file ? file->Section(section) : nullptr;
  if (!range) {
    const std::size_t end = file ? file->lines.size() : 0;
    return Store(path, {end, 0, "[" + section + "]" + (body.empty() ? "" : "\r\n" + body)},
                 unicode);
  }
  // Blank lines at the section's end stay there, before the next header.
  std::size_t end = range->end;
  while (end > range->begin && TrimBlanks(file->lines[end - 1].text).empty()) --end;
  return Store(path, {range->begin, end - range->begin, body}, unicode);
}

bool PortableIniProfile::WriteDenied(const std::string& path) const {
  return ::access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EPERM || errno == EROFS);
}

std::string PortableIniProfile::NameKey(std::string_view name) const { return UpperUnicode(name); }

std::vector<std::string> PortableIniProfile::ReadKeys(const std::string& path,
                                                      const std::string& section) const {
  std::vector<std::string> names;
  const ParsedFile* file = Load(path);
  if (!file) return names;
  const SectionRange* range = file->Section(FileName(section, file->unicode));
  if (!range) return names;
  // The names, each with its zero byte, and a final zero byte share one buffer; the first name
  // that does not fit whole ends the list.
  // Every listed name takes at least two bytes of the buffer.
  names.reserve(std::min(range->end - range->begin, kKeyListBytes / 2));
  std::size_t room = kKeyListBytes;
  for (std::size_t i = range->begin; i < range->end; ++i) {
    const IniLine& line = file->lines[i];
    // A comment line can be read by its full name but is not listed.
    if (line.kind != IniLine::Kind::kKey || line.name.empty() || line.name.front() == ';') continue;
    const std::size_t length = Utf16Length(line.name);
    if (length + 2 > room) break;
    names.push_back(std::string(line.name));
    room -= length + 1;
  }
  return names;
}

}  // namespace halcyra
