#include "service/trusted_accounts.h"

#include "service/data_folder_security.h"

namespace halcyra {
namespace {

// CREATOR OWNER and CREATOR GROUP: inherited, they name whoever creates the object, here the
// installation itself.
bool IsCreator(const std::string& sid) { return sid == "S-1-3-0" || sid == "S-1-3-1"; }

// The entries an object made inside `entries`' folder gets (`folder`: a folder, else a file).
std::vector<GrantedAccess> InheritedBy(const std::vector<GrantedAccess>& entries, bool folder) {
  std::vector<GrantedAccess> inherited;
  for (GrantedAccess entry : entries) {
    if (!(folder ? entry.toFolders : entry.toFiles) || IsCreator(entry.trustee)) continue;
    entry.inheritOnly = false;
    inherited.push_back(entry);
  }
  return inherited;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

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

namespace halcyra {

std::string ExposedInstallFolder(const std::vector<FolderSecurity>& chain, bool exists,
                                 const std::string& installingAccount) {
  for (const FolderSecurity& folder : chain)
    if (folder.link) return Quoted(folder.path) + " is a link";
  if (chain.empty()) return "the folder could not be examined";
  const FolderSecurity& first = chain.front();
  if (!first.entries) return Quoted(first.path) + " can be changed by Everyone";
  // The programs' files and the folders made for them receive the inheritable entries.
  std::vector<GrantedAccess> effective = InheritedBy(*first.entries, true);
  if (exists) {
    for (const GrantedAccess& entry : InheritedBy(*first.entries, false))
      effective.push_back(entry);
    for (const GrantedAccess& entry : *first.entries)
      if (!entry.inheritOnly) effective.push_back(entry);
    if (std::string writer =
            UntrustedWriter(first.owner, effective, installingAccount, ChangingRights());
        !writer.empty())
      return Quoted(first.path) + " can be changed by " + writer;
  } else {
    // Whoever may make folders here may make the install folder first, and own it.
    std::vector<GrantedAccess> own;
    for (const GrantedAccess& entry : *first.entries)
      if (!entry.inheritOnly) own.push_back(entry);
    if (std::string maker = UntrustedWriter(
            first.owner, own, installingAccount,
            file_rights::kAppendData | file_rights::kGenericWrite | file_rights::kGenericAll);
        !maker.empty())
      return Quoted(first.path) + " lets " + maker + " make the folder first";
    if (std::string writer =
            UntrustedWriter(accounts::kSystem, effective, installingAccount, ChangingRights());
        !writer.empty())
      return Quoted(first.path) + " lets " + writer + " change the folders made inside it";
  }
  for (const FolderSecurity& folder : chain)
    if (std::string writer =
            UntrustedWriter(folder.owner, folder.entries, installingAccount, ReplacingRights());
        !writer.empty())
      return Quoted(folder.path) + " can be renamed away by " + writer;
  return "";
}

}  // namespace halcyra
