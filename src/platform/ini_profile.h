// The INI layer under the settings file: stateless operations by file path with the rules of
// the kernel32 profile functions. Section and key names compare without regard to letter
// case; every write reaches the file at once. Names and values are UTF-8 here. In the file they
// are text of the ANSI code page, which other programs and editors read as such, until a write
// brings a character that code page cannot hold: the file is then rewritten once as UTF-16LE
// with its byte-order mark, every line kept, and stays so.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace halcyra {

// A value is read into a 2048-byte buffer, so at most 2047 characters come back.
inline constexpr std::size_t kMaxValueChars = 2047;
// The key names of a section, each followed by a zero byte, and a final zero byte.
inline constexpr std::size_t kKeyListBytes = 16384;

class IniProfile {
 public:
  virtual ~IniProfile() = default;
  // The value trimmed of blanks (and of one pair of enclosing quotes), or def when the file,
  // section or key does not exist.
  virtual std::string ReadString(const std::string& path, const std::string& section,
                                 const std::string& key, const std::string& def) const = 0;
  // Replaces the value, or adds the key at the end of its section, or the section at the end
  // of the file. False when the system refuses the write.
  virtual bool WriteString(const std::string& path, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
  virtual bool DeleteKey(const std::string& path, const std::string& section,
                         const std::string& key) = 0;
  // Key names of the section in file order, as far as they fit the key-list buffer whole. The
  // system cuts the last name that does not fit; a cut name names no entry and is left out.
  virtual std::vector<std::string> ReadKeys(const std::string& path,
                                            const std::string& section) const = 0;
  // The section's lines in file order, each "key=value" as it stands (quotes kept) or a line
  // without "=" alone; comment and blank lines are left out. nullopt when the section is too large
  // to be read whole, or the file is held (see Held).
  virtual std::optional<std::vector<std::string>> ReadSectionLines(
      const std::string& path, const std::string& section) const = 0;
  // Replaces every line of the section by the entries ("key=value" each) in one write, or adds
  // the section at the end of the file: a refused write leaves the section as it was. False when
  // the system refuses the write.
  virtual bool WriteSection(const std::string& path, const std::string& section,
                            const std::vector<std::string>& entries) = 0;
  // Whether this user has no right to write the file at all (an administrator's read-only lock),
  // as against a write refused for a while (another program holding the file).
  virtual bool WriteDenied(const std::string& path) const = 0;
  // Whether a read of the file is held up by another program (a lock or an oplock) past the
  // wait the layer allows; such a read gave back what a missing file gives. A layer that never
  // waits on other programs has none.
  virtual bool Held(const std::string& /*path*/) const { return false; }
  // The form in which the layer compares names: two section or key names are one exactly when
  // their forms are equal. Letter case counts for nothing, by the rule of the code page.
  virtual std::string NameKey(std::string_view name) const = 0;
};

}  // namespace halcyra
