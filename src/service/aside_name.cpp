#include "service/aside_name.h"

#include <cstdio>

namespace halcyra {

std::optional<std::string> RenameAside(
    const std::string& path, const std::string& stamp, const std::function<std::uint64_t()>& random,
    const std::function<RenameResult(const std::string&)>& rename) {
  for (int attempt = 0; attempt < kAsideAttempts; ++attempt) {
    char part[20];
    std::snprintf(part, sizeof part, "%016llx", static_cast<unsigned long long>(random()));
    const std::string aside = path + ".untrusted-" + stamp + "-" + part;
    switch (rename(aside)) {
      case RenameResult::Done:
        return aside;
      case RenameResult::NameTaken:
        continue;
      case RenameResult::Failed:
        return std::nullopt;
    }
  }
  return std::nullopt;
}

}  // namespace halcyra
