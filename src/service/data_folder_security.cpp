#include "service/data_folder_security.h"

#include <cstdio>

namespace halcyra {
namespace {

std::vector<AccessEntry> Administration(const std::string& serviceSid, bool inheritable) {
  return {{accounts::kSystem, file_rights::kAll, inheritable},
          {accounts::kAdministrators, file_rights::kAll, inheritable},
          {serviceSid, file_rights::kModify, inheritable}};
}

}  // namespace

std::string SecurityModel::Sddl() const {
  std::string text = "O:" + owner + "D:" + (protectedDacl ? "P" : "");
  for (const AccessEntry& entry : entries) {
    char rights[16];
    std::snprintf(rights, sizeof rights, "0x%x", static_cast<unsigned>(entry.rights));
    text += std::string("(A;") + (entry.inheritable ? "OICI" : "") + ";" + rights + ";;;" +
            entry.trustee + ")";
  }
  return text;
}

SecurityModel DataFolderSecurity(const std::string& serviceSid) {
  SecurityModel model{accounts::kAdministrators, true, Administration(serviceSid, true)};
  // On the folder itself only: the shared files carry users' rights of their own.
  model.entries.push_back({accounts::kUsers, file_rights::kRead | file_rights::kTraverse, false});
  return model;
}

SecurityModel SharedFileSecurity(const std::string& serviceSid, SharedFile file,
                                 SharedSettings mode) {
  SecurityModel model{accounts::kAdministrators, true, Administration(serviceSid, false)};
  std::uint32_t users = file_rights::kRead;
  if (mode == SharedSettings::Writable)
    // The generic write set, because the profile functions and the log's rewrite ask for it
    // whole.
    users |= file_rights::kWrite;
  else if (file == SharedFile::Log)
    // Appending alone: a line at the end, never a change to what is there.
    users |= file_rights::kAppendData;
  model.entries.push_back({accounts::kUsers, users, false});
  return model;
}

}  // namespace halcyra
