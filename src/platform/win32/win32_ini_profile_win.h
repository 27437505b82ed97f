// The INI layer through the kernel32 profile functions, shared with the companion service. Every
// read is bounded: one that another program holds up reads as a file that is not there, and a
// write to a file held that way is refused at once.
#pragma once

#include "platform/ini_profile.h"
#include "platform/win32/bounded_reads_win.h"

namespace halcyra {

class Win32IniProfile final : public IniProfile {
 public:
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
  bool Held(const std::string& path) const override;

 private:
  BoundedReads reads_;
};

}  // namespace halcyra
