// Which accounts the installation trusts with the program's files: the system, administrators,
// Windows' installer account, and the installing account the caller names, if any: the
// package's custom actions run as the system; /INSTALL names none on Windows.
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
  // Passed on to the folders (container inherit) and files (object inherit) created inside.
  bool toFolders = false;
  bool toFiles = false;
};

// Rights that let an account put other code or data in place of a file or folder's own.
std::uint32_t ChangingRights();
// Rights that let an account replace a folder above it, or a folder in it, by another.
std::uint32_t ReplacingRights();

// The first account, other than the trusted ones, that may change the object: its owner, or an
// entry that grants any of `rights`. Empty when there is none. `entries` is nullopt for an object
// without an access list, which lets everyone do anything; an empty trustee is one that could
// not be read, and is not trusted.
std::string UntrustedWriter(const std::string& owner,
                            const std::optional<std::vector<GrantedAccess>>& entries,
                            const std::string& installingAccount,
                            std::uint32_t rights = ChangingRights());

// One folder on the way to an install folder, as a handle that does not follow links shows it.
struct FolderSecurity {
  std::string path;
  bool link = false;  // a reparse point (junction, symbolic link, mount point)
  std::string owner;
  std::optional<std::vector<GrantedAccess>> entries;
};

// Why programs installed into a folder could be replaced by an account the installation does
// not trust, or empty. `chain` holds the install folder, or when it does not exist yet
// (`exists` false) the nearest folder above it that does, then every folder above up to the
// drive's root. The install folder may be changed by nobody else, also through the entries
// that the files made inside inherit; a folder still to be made gets the inheritable entries of
// the one above it, where nobody else may make folders (and so make it first); no folder above
// may be renamed away; none on the way may be a link.
std::string ExposedInstallFolder(const std::vector<FolderSecurity>& chain, bool exists,
                                 const std::string& installingAccount);

}  // namespace halcyra
