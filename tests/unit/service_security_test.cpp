// The companion service's security rules: the data folder's rights, the checks before it opens a
// shared file, and the accounts an installation trusts with the service's executable.
#include <gtest/gtest.h>

#include "service/data_folder_security.h"
#include "service/file_trust.h"
#include "service/trusted_accounts.h"
#include "support/fakes.h"

namespace halcyra {
namespace {

namespace r = file_rights;
constexpr const char* kService = "S-1-5-80-1-2-3-4-5";

const AccessEntry* EntryFor(const SecurityModel& model, const std::string& trustee) {
  for (const AccessEntry& entry : model.entries)
    if (entry.trustee == trustee) return &entry;
  return nullptr;
}

TEST(DataFolderSecurity, UsersChangeTheSharedDataButNothingInTheFolder) {
  const SecurityModel folder = DataFolderSecurity(kService);
  const SecurityModel file = SharedFileSecurity(kService);
  for (const SecurityModel* model : {&folder, &file}) {
    EXPECT_EQ(model->owner, accounts::kAdministrators);
    EXPECT_TRUE(model->protectedDacl) << "nothing inherited from ProgramData";
    ASSERT_EQ(model->entries.size(), 4u);
    const bool inheritable = model == &folder;
    EXPECT_EQ(*EntryFor(*model, accounts::kSystem),
              (AccessEntry{accounts::kSystem, r::kAll, inheritable}));
    EXPECT_EQ(*EntryFor(*model, accounts::kAdministrators),
              (AccessEntry{accounts::kAdministrators, r::kAll, inheritable}));
    EXPECT_EQ(*EntryFor(*model, kService), (AccessEntry{kService, 0x1301BF, inheritable}))
        << "the service's own SID: modify";
    const AccessEntry* users = EntryFor(*model, accounts::kUsers);
    ASSERT_NE(users, nullptr);
    EXPECT_FALSE(users->inheritable);
    for (const std::uint32_t never : {r::kDelete, r::kWriteDac, r::kWriteOwner, r::kDeleteChild})
      EXPECT_EQ(users->rights & never, 0u) << std::hex << never;
  }
  // On the folder: list and pass through, but create no file and no folder.
  EXPECT_EQ(EntryFor(folder, accounts::kUsers)->rights, 0x1200A9u);
  // On the files: the generic read and write sets that the profile functions ask for.
  EXPECT_EQ(EntryFor(file, accounts::kUsers)->rights, 0x12019Fu);
  EXPECT_EQ(folder.Sddl(),
            "O:S-1-5-32-544D:P(A;OICI;0x1f01ff;;;S-1-5-18)(A;OICI;0x1f01ff;;;S-1-5-32-544)"
            "(A;OICI;0x1301bf;;;S-1-5-80-1-2-3-4-5)(A;;0x1200a9;;;S-1-5-32-545)");
}

// The reason the fake inspector's facts give for `ini` (parent: the folder), or "".
std::string Refusal(const FileFacts& file, const FileFacts& parent) {
  test::FakeFileInspector inspector;
  inspector.facts["C:\\ProgramData\\Halcyra\\Halcyra.ini"] = file;
  inspector.facts["C:\\ProgramData\\Halcyra"] = parent;
  return RefusalToOpen(inspector, "C:\\ProgramData\\Halcyra",
                       "C:\\ProgramData\\Halcyra\\Halcyra.ini");
}

TEST(FileTrust, RefusesLinksSecondNamesAndPathsThatLeadElsewhere) {
  using F = FileFacts::Found;
  const std::string ini = "C:\\ProgramData\\Halcyra\\Halcyra.ini";
  const FileFacts folder{F::Yes, true, false, 1, "C:\\ProgramData\\Halcyra"};
  const FileFacts absent{F::No, false, false, 0, ""};
  const auto has = [](const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
  };
  EXPECT_EQ(Refusal({F::Yes, false, false, 1, "c:\\programdata\\halcyra\\HALCYRA.INI"}, folder),
            "");
  EXPECT_TRUE(has(Refusal({F::Yes, false, true, 1, ini}, folder), "is a link"));
  EXPECT_TRUE(has(Refusal({F::Yes, false, false, 2, ini}, folder), "has 2 links"));
  EXPECT_TRUE(has(Refusal({F::Yes, false, false, 1, "C:\\Windows\\win.ini"}, folder), "leads to"));
  EXPECT_TRUE(has(Refusal({F::Yes, true, false, 1, ini}, folder), "is a folder"));
  EXPECT_TRUE(has(Refusal({F::Unknown, false, false, 0, ""}, folder), "could not be examined"));
  // Absent: it may be created, but only in the folder itself.
  EXPECT_EQ(Refusal(absent, folder), "");
  EXPECT_TRUE(has(Refusal(absent, {F::Yes, true, false, 1, "D:\\elsewhere"}), "leads to"));
  EXPECT_TRUE(has(Refusal(absent, {F::Yes, true, true, 1, folder.finalPath}), "is a link"));
  EXPECT_TRUE(has(Refusal(absent, absent), "does not exist"));
}

TEST(TrustedAccounts, OnlyTheSystemAdministratorsAndTheInstallerMayChangeTheService) {
  const std::string me = "S-1-5-21-7-7-7-1001";
  const std::string user = "S-1-5-21-7-7-7-1002";
  using G = GrantedAccess;
  const std::vector<G> programFiles = {
      {accounts::kTrustedInstaller, r::kAll, true, false},
      {accounts::kSystem, 0x1301BF, true, false},
      {accounts::kAdministrators, 0x1301BF, true, false},
      {accounts::kUsers, 0x1200A9, true, false},
      {"S-1-3-0", r::kGenericAll, true, true},  // CREATOR OWNER: for what is created inside
      {"S-1-15-2-1", 0x1200A9, true, false},
      {accounts::kUsers, r::kWriteData, false, false}};  // a denial grants nothing
  EXPECT_EQ(UntrustedWriter(accounts::kTrustedInstaller, programFiles, me), "");
  EXPECT_EQ(UntrustedWriter(me, programFiles, me), "") << "the installing account";
  EXPECT_EQ(UntrustedWriter(user, programFiles, me), user) << "an owner may change the rights";
  EXPECT_EQ(UntrustedWriter("", programFiles, me), "an unknown owner");
  EXPECT_EQ(UntrustedWriter("", programFiles, ""), "an unknown owner") << "no installing account";
  EXPECT_EQ(UntrustedWriter(accounts::kSystem, std::nullopt, me), "Everyone") << "no list at all";
  for (const std::uint32_t right :
       {r::kWriteData, r::kAppendData, r::kDeleteChild, r::kDelete, r::kWriteDac, r::kWriteOwner,
        r::kGenericWrite, r::kGenericAll}) {
    std::vector<G> entries = programFiles;
    entries.push_back({accounts::kUsers, right, true, false});
    EXPECT_EQ(UntrustedWriter(accounts::kSystem, entries, me), accounts::kUsers)
        << std::hex << right;
  }
  std::vector<G> unreadable = programFiles;
  unreadable.push_back({"", r::kGenericAll, true, false});
  EXPECT_EQ(UntrustedWriter(accounts::kSystem, unreadable, me),
            "an account that could not be read");
  // Above the executable's folder only renaming counts: a drive's root lets every user create
  // folders in it, but none may rename one away.
  const std::vector<G> root = {{"S-1-5-11", r::kAppendData, true, false},
                               {"S-1-5-11", 0x1301BF, true, true}};
  EXPECT_EQ(UntrustedWriter(accounts::kSystem, root, me, ReplacingRights()), "");
  const std::vector<G> tools = {{"S-1-5-11", 0x1301BF, true, false}};
  EXPECT_EQ(UntrustedWriter(accounts::kSystem, tools, me, ReplacingRights()), "S-1-5-11");
}

}  // namespace
}  // namespace halcyra
