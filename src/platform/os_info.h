// What the running Windows tells about itself: the inputs of the edition word and of the
// data folder. Every call asks the system afresh; nothing is cached.
#pragma once

#include <optional>
#include <string>

namespace halcyra {

struct OsVersion {
  unsigned major = 0;
  unsigned minor = 0;
};

class OsInfo {
 public:
  virtual ~OsInfo() = default;
  virtual OsVersion Version() const = 0;
  // nullopt when the shell call fails; otherwise the converted path (possibly empty).
  virtual std::optional<std::string> CommonAppDataFolder() const = 0;
};

}  // namespace halcyra
