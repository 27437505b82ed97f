// The companion service's security rules: the data folder's rights, the checks before it opens a
// shared file, and the accounts an installation trusts with the service's executable.
#include <gtest/gtest.h>

#include "service/aside_name.h"
#include "service/data_folder_security.h"
#include "service/file_trust.h"
#include "service/prepared_settings.h"
#include "service/trusted_accounts.h"
#include "setup/setup_data.h"
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
  const SecurityModel file =
      SharedFileSecurity(kService, SharedFile::Settings, SharedSettings::Writable);
  const SecurityModel log = SharedFileSecurity(kService, SharedFile::Log, SharedSettings::Writable);
  const SecurityModel lockedFile =
      SharedFileSecurity(kService, SharedFile::Settings, SharedSettings::ReadOnly);
  const SecurityModel lockedLog =
      SharedFileSecurity(kService, SharedFile::Log, SharedSettings::ReadOnly);
  for (const SecurityModel* model : {&folder, &file, &log, &lockedFile, &lockedLog}) {
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
  EXPECT_EQ(EntryFor(log, accounts::kUsers)->rights, 0x12019Fu);
  // Locked: the settings read only, the log read and appended to, nothing else changed.
  EXPECT_EQ(EntryFor(lockedFile, accounts::kUsers)->rights, 0x120089u);
  EXPECT_EQ(EntryFor(lockedLog, accounts::kUsers)->rights, 0x12008Du);
  EXPECT_EQ(lockedLog.Sddl(),
            "O:S-1-5-32-544D:P(A;;0x1f01ff;;;S-1-5-18)(A;;0x1f01ff;;;S-1-5-32-544)"
            "(A;;0x1301bf;;;S-1-5-80-1-2-3-4-5)(A;;0x12008d;;;S-1-5-32-545)");
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

TEST(InstallFolder, RefusedWhenAnyoneElseCanChangeItOrRenameAFolderAboveOrALinkIsOnTheWay) {
  const std::string me = "S-1-5-21-7-7-7-1001";
  constexpr const char* kAuthenticated = "S-1-5-11";
  using G = GrantedAccess;
  // As Windows sets them up: the root lets users make folders and passes modify on to them.
  const FolderSecurity root{
      "C:\\", false, accounts::kSystem,
      std::vector<G>{{accounts::kAdministrators, r::kAll, true, false, true, true},
                     {kAuthenticated, r::kAppendData, true, false},
                     {kAuthenticated, 0x1301BF, true, true, true, true}}};
  const FolderSecurity programFiles{
      "C:\\Program Files", false, accounts::kTrustedInstaller,
      std::vector<G>{{accounts::kTrustedInstaller, r::kAll, true, false, true, false},
                     {accounts::kAdministrators, r::kAll, true, false, true, true},
                     {accounts::kUsers, 0x1200A9, true, false, true, true},
                     {"S-1-3-0", r::kGenericAll, true, true, true, true}}};
  FolderSecurity installed = programFiles;
  installed.path = "C:\\Program Files\\Halcyra";
  installed.owner = accounts::kAdministrators;
  const auto refusal = [&](std::vector<FolderSecurity> chain, bool exists) {
    return ExposedInstallFolder(chain, exists, me);
  };
  EXPECT_EQ(refusal({programFiles, root}, false), "") << "to be made in Program Files";
  EXPECT_EQ(refusal({installed, programFiles, root}, true), "") << "repaired in place";
  EXPECT_NE(refusal({root}, false).find("S-1-5-11"), std::string::npos)
      << "made in the root, it inherits modify for users";
  FolderSecurity tools{"C:\\Tools", false, accounts::kAdministrators,
                       std::vector<G>{{accounts::kAdministrators, r::kAll, true, false, true, true},
                                      {kAuthenticated, 0x1301BF, true, false, true, true}}};
  EXPECT_NE(refusal({tools, root}, false).find("\"C:\\Tools\""), std::string::npos);
  FolderSecurity shared = tools;
  shared.entries = std::vector<G>{{accounts::kAdministrators, r::kAll, true, false, true, true},
                                  {kAuthenticated, r::kAppendData, true, false}};
  EXPECT_NE(refusal({shared, root}, false).find("S-1-5-11 make the folder first"),
            std::string::npos)
      << "users may make it first, though it would inherit nothing of theirs";
  tools.entries = std::vector<G>{{kAuthenticated, 0x1301BF, true, true, false, true}};
  EXPECT_NE(refusal({tools, root}, true), "") << "files made inside inherit modify";
  tools.entries = std::vector<G>{{kAuthenticated, r::kDelete, true, false}};
  EXPECT_NE(refusal({installed, tools, root}, true).find("renamed away"), std::string::npos);
  FolderSecurity junction = programFiles;
  junction.link = true;
  EXPECT_NE(refusal({installed, junction, root}, true).find("is a link"), std::string::npos);
  installed.owner = "S-1-5-21-7-7-7-1002";
  EXPECT_NE(refusal({installed, programFiles, root}, true), "") << "owned by another user";
  installed.entries.reset();
  installed.owner = accounts::kSystem;
  EXPECT_NE(refusal({installed, programFiles, root}, true).find("Everyone"), std::string::npos);
}

TEST(AsideName, CarriesARandomPartAndTakesAnotherWhileTheNameExists) {
  std::vector<std::string> tried;
  std::uint64_t next = 0xA;
  const auto random = [&next] { return next++; };
  const auto takenTwice = [&tried](const std::string& name) {
    tried.push_back(name);
    return tried.size() < 3 ? RenameResult::NameTaken : RenameResult::Done;
  };
  EXPECT_EQ(RenameAside("C:\\Data\\Log.txt", "20260307-101500", random, takenTwice),
            "C:\\Data\\Log.txt.untrusted-20260307-101500-000000000000000c");
  ASSERT_EQ(tried.size(), 3u);
  EXPECT_EQ(tried[0], "C:\\Data\\Log.txt.untrusted-20260307-101500-000000000000000a");
  EXPECT_NE(tried[0], tried[1]);
  tried.clear();
  const auto failing = [&tried](const std::string& name) {
    tried.push_back(name);
    return RenameResult::Failed;
  };
  EXPECT_EQ(RenameAside("C:\\Data", "s", random, failing), std::nullopt);
  EXPECT_EQ(tried.size(), 1u) << "any other failure ends the attempts";
  tried.clear();
  const auto alwaysTaken = [&tried](const std::string& name) {
    tried.push_back(name);
    return RenameResult::NameTaken;
  };
  EXPECT_EQ(RenameAside("C:\\Data", "s", random, alwaysTaken), std::nullopt);
  EXPECT_EQ(tried.size(), static_cast<std::size_t>(kAsideAttempts));
}

TEST(PreparedSettings, OnlyDrivePathsAndSharesAreReadAndTheBytesArriveWhole) {
  for (const char* path :
       {"C:\\fleet\\Halcyra.ini", "\\\\server\\share\\Halcyra.ini", "D:/fleet/Halcyra.ini"})
    EXPECT_EQ(PreparedPathRefusal(path), "") << path;
  for (const char* path :
       {"\\\\?\\GLOBALROOT\\Device\\HarddiskVolumeShadowCopy1\\Users\\a\\secret.txt",
        "\\\\?\\C:\\x.ini", "\\\\.\\C:\\x.ini", "//?/C:/x.ini", "//./pipe/x",
        "\\?"
        "?\\C:\\x.ini",
        "/?"
        "?/UNC/host/share/x.ini"})
    EXPECT_NE(PreparedPathRefusal(path).find("device or object path"), std::string::npos) << path;
  for (const char* path : {"relative.ini", "C:relative.ini", "\\x.ini", ""})
    EXPECT_NE(PreparedPathRefusal(path).find("is not a full path"), std::string::npos) << path;

  std::string bytes = "[general]\r\nFirstStartDone=True\r\n";
  bytes += std::string("\0\xFF|x", 4);
  const SetupData data{true, SharedSettings::ReadOnly, "C:\\a.ini", bytes};
  const auto back = SetupData::Decode(data.Encode());
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->overwrite);
  EXPECT_EQ(back->shared, SharedSettings::ReadOnly);
  EXPECT_EQ(back->source, "C:\\a.ini");
  EXPECT_EQ(back->settings, bytes);
  // What the package sets before the file is read, and for a repair.
  const auto plain = SetupData::Decode("|||");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->shared, SharedSettings::Writable);
  EXPECT_FALSE(plain->settings);
  EXPECT_EQ(SetupData::Decode("1|readonly||")->shared, SharedSettings::ReadOnly);
  for (const char* broken :
       {"1|Locked||", "|Writable|C:\\a.ini|0g", "|Writable|C:\\a.ini|abc", "|Writable"})
    EXPECT_FALSE(SetupData::Decode(broken)) << broken;
  const std::string tooLarge(2 * kMaxPreparedSettingsBytes + 2, 'a');
  EXPECT_FALSE(SetupData::Decode("|Writable|C:\\a.ini|" + tooLarge));
}

}  // namespace
}  // namespace halcyra
