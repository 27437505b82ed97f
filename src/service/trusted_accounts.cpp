#include "service/trusted_accounts.h"

#include "service/data_folder_security.h"

namespace halcyra {
std::uint32_t ChangingRights() {
  return file_rights::kWriteData | file_rights::kAppendData | file_rights::kDeleteChild |
         file_rights::kDelete | file_rights::kWriteDac | file_rights::kWriteOwner |
         file_rights::kGenericWrite | file_rights::kGenericAll;
}

std::uint32_t ReplacingRights() {
  // Renaming a folder away needs DELETE on it or DELETE_CHILD on the folder above; a new one
  // in its place is then made with the folder above's "create folders", which Windows gives
  // every user on a drive's root.
  return file_rights::kDeleteChild | file_rights::kDelete | file_rights::kWriteDac |
         file_rights::kWriteOwner | file_rights::kGenericAll;
}

bool IsTrustedAccount(const std::string& sid, const std::string& installingAccount) {
  return sid == accounts::kSystem || sid == accounts::kAdministrators ||
         sid == accounts::kTrustedInstaller || (!sid.empty() && sid == installingAccount);
}

std::string UntrustedWriter(const std::string& owner,
                            const std::optional<std::vector<GrantedAccess>>& entries,
                            const std::string& installingAccount, std::uint32_t rights) {
  // An owner may always change the rights.
  if (!IsTrustedAccount(owner, installingAccount))
    return owner.empty() ? "an unknown owner" : owner;
  if (!entries) return "Everyone";
  for (const GrantedAccess& entry : *entries) {
    if (!entry.allow || entry.inheritOnly || !(entry.rights & rights)) continue;
    if (!IsTrustedAccount(entry.trustee, installingAccount))
      return entry.trustee.empty() ? "an account that could not be read" : entry.trustee;
  }
  return "";
}

}  // namespace halcyra
