// Which accounts the installation trusts with the program's files: the system, administrators,
// Windows' installer account, and the account that runs the installation (itself an
// administrator, or the installation could not register a service).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace halcyra {

bool IsTrustedAccount(const std::string& sid, const std::string& installingAccount);

// One entry of an object's access list as Windows keeps it.
struct GrantedAccess {
  std::string trustee;  // a SID string
  std::uint32_t rights = 0;
  bool allow = true;
  // Meant only for objects created inside: it grants nothing on the object itself.
  bool inheritOnly = false;
};

// The first account, other than the trusted ones, that may replace or change the object: its
// owner, or an entry that lets it write, delete or change rights. Empty when there is none.
// `entries` is nullopt for an object without an access list, which lets everyone do anything.
std::string UntrustedWriter(const std::string& owner,
                            const std::optional<std::vector<GrantedAccess>>& entries,
                            const std::string& installingAccount);

}  // namespace halcyra
