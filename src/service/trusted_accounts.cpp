#include "service/trusted_accounts.h"

#include "service/data_folder_security.h"

namespace halcyra {
namespace {

// Rights that let an account put other code or data in place of what is there.
constexpr std::uint32_t kChangingRights = file_rights::kWriteData | file_rights::kAppendData |
                                          file_rights::kDeleteChild | file_rights::kDelete |
                                          file_rights::kWriteDac | file_rights::kWriteOwner |
                                          file_rights::kGenericWrite | file_rights::kGenericAll;

}  // namespace

bool IsTrustedAccount(const std::string& sid, const std::string& installingAccount) {
  return sid == accounts::kSystem || sid == accounts::kAdministrators ||
         sid == accounts::kTrustedInstaller || (!sid.empty() && sid == installingAccount);
}

std::string UntrustedWriter(const std::string& owner,
                            const std::optional<std::vector<GrantedAccess>>& entries,
                            const std::string& installingAccount) {
  // An owner may always change the rights.
  if (!IsTrustedAccount(owner, installingAccount))
    return owner.empty() ? "an unknown owner" : owner;
  if (!entries) return "Everyone";
  for (const GrantedAccess& entry : *entries) {
    if (!entry.allow || entry.inheritOnly || !(entry.rights & kChangingRights)) continue;
    if (!IsTrustedAccount(entry.trustee, installingAccount)) return entry.trustee;
  }
  return "";
}

}  // namespace halcyra
