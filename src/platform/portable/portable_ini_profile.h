// The INI layer in plain C++ for builds without the kernel32 profile functions. It keeps the
// rules that the program relies on, the file's two encodings among them, and rewrites the file
// through a temporary file and a rename, so that a crash never leaves half a settings file. A file
// is parsed once and kept until it is written or shows another size or last-write time.
#pragma once

#include <memory>
#include <string_view>

#include "platform/ini_profile.h"

namespace halcyra {

class PortableIniProfile final : public IniProfile {
 public:
  PortableIniProfile();
  ~PortableIniProfile() override;

  std::string ReadString(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& def) const override;
  bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) override;
  bool DeleteKey(const std::string& path, const std::string& section,
                 const std::string& key) override;
  std::vector<std::string> ReadKeys(const std::string& path,
                                    const std::string& section) const override;
  std::optional<std::vector<std::string>> ReadSectionLines(
      const std::string& path, const std::string& section) const override;
  bool WriteSection(const std::string& path, const std::string& section,
                    const std::vector<std::string>& entries) override;
  bool WriteDenied(const std::string& path) const override;
  std::string NameKey(std::string_view name) const override;

 private:
  struct ParsedFile;
  struct Edit;
  ParsedFile* Load(const std::string& path) const;
  // Whether the file is to hold UTF-16LE after a write of these texts: it does already, or one
  // of them has a character the code page cannot hold (the whole file is then rewritten so).
  static bool Unicode(const ParsedFile* file, const std::vector<std::string_view>& texts);
  bool Store(const std::string& path, const Edit& edit, bool unicode);

  mutable std::unique_ptr<ParsedFile> cache_;
};

}  // namespace halcyra
