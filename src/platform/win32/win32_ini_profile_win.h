// The INI layer through the kernel32 profile functions, shared with the companion service.
#pragma once

#include "platform/ini_profile.h"

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
};

}  // namespace halcyra
