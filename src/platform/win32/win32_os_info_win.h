#pragma once

#include "platform/os_info.h"

namespace halcyra {

class Win32OsInfo final : public OsInfo {
 public:
  OsVersion Version() const override;
  std::optional<std::string> CommonAppDataFolder() const override;
};

}  // namespace halcyra
