// The installation's security against Wine: the descriptors as Windows builds them, the service's
// SID, the data folder made safe when a link was planted in its place, and a planted library.
// Wine keeps no descriptor on files, so the rights themselves are checked where they are built.
#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "platform/win32/utf8_win.h"
#include "platform/win32/win32_system_services_win.h"
#include "service/data_folder_security.h"
#include "service/data_folder_win.h"
#include "service/prepared_settings.h"
#include "service/service_sid_win.h"
#include "support/temp_folder.h"

namespace halcyra {
namespace {

namespace fs = std::filesystem;

std::string SidText(PSID sid) {
  char* text = nullptr;
  if (!ConvertSidToStringSidA(sid, &text)) return "";
  std::string result = text;
  LocalFree(text);
  return result;
}

DWORD Links(const fs::path& path) {
  const HANDLE file = CreateFileW(path.wstring().c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  BY_HANDLE_FILE_INFORMATION info{};
  const bool read = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return read ? info.nNumberOfLinks : 0;
}

// Runs a program of the host in `folder` until `done` holds: Wine's own calls make no links, but
// it shows the host's as Windows would. Wine reports no exit of a host program, hence the wait.
void Host(const std::string& commandLine, const fs::path& folder,
          const std::function<bool()>& done) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             folder.string().c_str(), &startup, &info));
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  for (int i = 0; i < 100 && !done(); ++i) Sleep(50);
  ASSERT_TRUE(done()) << commandLine;
}

// The entries as Windows must hold them, written out by hand: the service's SID is "S-1-5-80-"
// and the SHA-1 of "HALCYRA_SERVICE" in UTF-16LE as five little-endian numbers, worked out once
// with another tool.
TEST(DataFolderRights, WindowsReadsTheDescriptorsAsTheModelSaysAndTheServiceSidAsItDerivesIt) {
  constexpr const char* kServiceSid =
      "S-1-5-80-725269943-219672458-1190662559-1143024701-1592703731";
  EXPECT_EQ(ServiceSid("TrustedInstaller"),
            "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464");
  EXPECT_EQ(ServiceSid("Halcyra_Service"), kServiceSid);
  struct Ace {
    const char* trustee;
    DWORD mask;
    BYTE flags;
  };
  constexpr BYTE kBoth = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
  const std::vector<Ace> folder = {{"S-1-5-18", 0x1F01FF, kBoth},
                                   {"S-1-5-32-544", 0x1F01FF, kBoth},
                                   {kServiceSid, 0x1301BF, kBoth},
                                   {"S-1-5-32-545", 0x1200A9, 0}};
  const std::vector<Ace> file = {{"S-1-5-18", 0x1F01FF, 0},
                                 {"S-1-5-32-544", 0x1F01FF, 0},
                                 {kServiceSid, 0x1301BF, 0},
                                 {"S-1-5-32-545", 0x12019F, 0}};
  // Under the lock: users read the settings and read and append to the log.
  std::vector<Ace> lockedLog = file;
  lockedLog.back().mask = 0x12008D;
  const std::pair<SecurityModel, const std::vector<Ace>*> cases[] = {
      {DataFolderSecurity(kServiceSid), &folder},
      {SharedFileSecurity(kServiceSid, SharedFile::Settings, SharedSettings::Writable), &file},
      {SharedFileSecurity(kServiceSid, SharedFile::Log, SharedSettings::ReadOnly), &lockedLog}};
  for (const auto& [model, expected] : cases) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        model.Sddl().c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        << model.Sddl();
    PSID owner = nullptr;
    PACL dacl = nullptr;
    BOOL present = FALSE, defaulted = FALSE;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorOwner(descriptor, &owner, &defaulted));
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) && dacl);
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
    EXPECT_EQ(SidText(owner), "S-1-5-32-544");
    EXPECT_TRUE(control & SE_DACL_PROTECTED);
    ASSERT_EQ(dacl->AceCount, expected->size());
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
      ACCESS_ALLOWED_ACE* ace = nullptr;
      ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
      const Ace& want = (*expected)[i];
      EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
      EXPECT_EQ(SidText(&ace->SidStart), want.trustee);
      EXPECT_EQ(ace->Mask, want.mask) << want.trustee;
      EXPECT_EQ(ace->Header.AceFlags, want.flags) << want.trustee;
    }
    LocalFree(descriptor);
  }
}

TEST(DataFolderRights, WhatAUserPlantedIsMovedAsideAndWhatAnEarlierVersionMadeIsKept) {
  const test::TempFolder root;
  const std::string service = ServiceSid("Halcyra_Service").value_or("");
  // Wine's files belong to the running account, which here runs the installation.
  const auto account = [] {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    BYTE buffer[256];
    DWORD size = sizeof buffer;
    GetTokenInformation(token, TokenUser, buffer, size, &size);
    CloseHandle(token);
    return SidText(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid);
  }();

  // The temporary folder may itself lie behind a link under Wine: the data folder's path is the
  // one Windows resolves to, as ProgramData's is.
  const HANDLE rootHandle =
      CreateFileW(root.Path().wstring().c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const std::string folder = FinalPath(rootHandle).value_or("") + "\\Halcyra";
  CloseHandle(rootHandle);

  // The folder is a link to another. Windows renames the link aside; Wine follows a link even
  // when told not to and would rename its target, so there the installation stops instead.
  // Either way the target keeps what it had and gets no rights.
  fs::create_directories(root.Path() / "target");
  root.WriteFile("target\\keep.txt", "mine");
  const fs::path link = root.Path() / "Halcyra";
  const auto attributes = [&] { return GetFileAttributesW(link.wstring().c_str()); };
  Host("/bin/ln -s target Halcyra", root.Path(),
       [&] { return attributes() != INVALID_FILE_ATTRIBUTES; });
  const FolderOutcome linked =
      PrepareDataFolder(folder, {}, SharedSettings::Writable, service, account);
  EXPECT_NE(linked.failure.find("leads to"), std::string::npos) << linked.failure;
  EXPECT_NE(linked.failure.find("left alone"), std::string::npos) << linked.failure;
  EXPECT_EQ(std::distance(fs::directory_iterator(root.Path() / "target"), {}), 1);
  EXPECT_EQ(root.ReadFile("target\\keep.txt"), "mine");
  EXPECT_EQ(std::distance(fs::directory_iterator(root.Path()), {}), 2) << "nothing moved";
  Host("/bin/rm Halcyra", root.Path(), [&] { return attributes() == INVALID_FILE_ATTRIBUTES; });

  // No folder: made, with an empty settings file and log.
  ASSERT_EQ(PrepareDataFolder(folder, {}, SharedSettings::Writable, service, account).failure, "");
  EXPECT_EQ(root.ReadFile("Halcyra\\Halcyra.ini"), "");
  EXPECT_EQ(root.ReadFile("Halcyra\\Log.txt"), "");

  // An earlier version's folder is kept with its settings; a log with a second name is not.
  root.WriteFile("Halcyra\\Halcyra.ini", "[Timer]\r\na=enabled,Suspend,22:00,Daily\r\n");
  root.WriteFile("elsewhere.txt", "");
  fs::remove(root.Path() / "Halcyra" / "Log.txt");
  Host("/bin/ln ../elsewhere.txt Log.txt", root.Path() / "Halcyra",
       [&] { return Links(root.Path() / "elsewhere.txt") == 2; });
  const FolderOutcome kept =
      PrepareDataFolder(folder, {}, SharedSettings::Writable, service, account);
  ASSERT_EQ(kept.failure, "");
  ASSERT_EQ(kept.notes.size(), 1u);
  EXPECT_NE(kept.notes[0].find("Log.txt.untrusted-"), std::string::npos) << kept.notes[0];
  EXPECT_EQ(root.ReadFile("Halcyra\\Halcyra.ini"), "[Timer]\r\na=enabled,Suspend,22:00,Daily\r\n");
  EXPECT_EQ(root.ReadFile("Halcyra\\Log.txt"), "");
  EXPECT_EQ(Links(root.Path() / "Halcyra" / "Log.txt"), 1u);

  // A log whose aside names a user made first, as they were before they had a random part (the
  // second of the installation): the rename takes another name.
  root.WriteFile("other.txt", "");
  fs::remove(root.Path() / "Halcyra" / "Log.txt");
  Host("/bin/ln ../other.txt Log.txt", root.Path() / "Halcyra",
       [&] { return Links(root.Path() / "other.txt") == 2; });
  for (int second = 0; second < 3; ++second) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    FILETIME time{};
    SystemTimeToFileTime(&now, &time);
    ULARGE_INTEGER value{{time.dwLowDateTime, time.dwHighDateTime}};
    value.QuadPart += 10000000ULL * second;
    time = {value.LowPart, value.HighPart};
    FileTimeToSystemTime(&time, &now);
    char name[64];
    std::snprintf(name, sizeof name, "Halcyra\\Log.txt.untrusted-%04u%02u%02u-%02u%02u%02u",
                  now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    std::error_code taken;  // a name made aside earlier in the same second is as good
    fs::create_directories(root.Path() / name, taken);
  }
  const FolderOutcome squatted =
      PrepareDataFolder(folder, {}, SharedSettings::ReadOnly, service, account);
  ASSERT_EQ(squatted.failure, "");
  ASSERT_EQ(squatted.notes.size(), 1u);
  EXPECT_EQ(Links(root.Path() / "Halcyra" / "Log.txt"), 1u);

  // A prepared file overwrites only when asked; an unreadable one changes nothing.
  root.WriteFile("prepared.ini", "[general]\r\nFirstStartDone=True\r\n");
  const auto prepared = [&](const char* name, bool overwrite, const char* backup) {
    PreparedSettings settings{root.File(name), std::nullopt, overwrite, backup};
    std::string failure;
    settings.content = ReadPreparedSettings(settings.source, failure);
    EXPECT_EQ(failure, "") << name;
    return settings;
  };
  const auto Prepare = [&](const PreparedSettings& settings) {
    return PrepareDataFolder(folder, settings, SharedSettings::Writable, service, account).failure;
  };
  EXPECT_EQ(Prepare(prepared("prepared.ini", false, "")), "");
  EXPECT_EQ(root.ReadFile("Halcyra\\Halcyra.ini"), "[Timer]\r\na=enabled,Suspend,22:00,Daily\r\n");
  EXPECT_EQ(Prepare(prepared("prepared.ini", true, "")), "");
  EXPECT_EQ(root.ReadFile("Halcyra\\Halcyra.ini"), "[general]\r\nFirstStartDone=True\r\n");

  // An installation's overwrite keeps the bytes it replaces until it stands or is rolled back.
  root.WriteFile("prepared.ini", "[general]\r\nDuration=9\r\n");
  ASSERT_EQ(Prepare(prepared("prepared.ini", true, "kept.ini")), "");
  EXPECT_EQ(root.ReadFile("Halcyra\\Halcyra.ini"), "[general]\r\nDuration=9\r\n");
  EXPECT_EQ(RestoreSettingsBackup(folder, "kept.ini"), "");
  EXPECT_EQ(root.ReadFile("Halcyra\\Halcyra.ini"), "[general]\r\nFirstStartDone=True\r\n");
  EXPECT_FALSE(fs::exists(root.Path() / "Halcyra" / "kept.ini")) << "rolled back: the copy goes";
  EXPECT_EQ(root.ReadFile("Halcyra\\Halcyra.ini"), "[general]\r\nFirstStartDone=True\r\n");

  // A folder that a user made before the first install belongs to that user: seen from another
  // installing account, it is moved aside with its files. (Windows gives the folder made anew
  // the descriptor's owner, Administrators; Wine keeps its own account as every file's owner, so
  // there the folder made anew is refused in turn.)
  fs::remove_all(root.Path() / "Halcyra");
  fs::create_directories(root.Path() / "Halcyra");
  const std::string planted = "[Timer]\r\nplanted=enabled,Reboot,09:00,Daily\r\n";
  root.WriteFile("Halcyra\\Halcyra.ini", planted);
  const FolderOutcome foreign =
      PrepareDataFolder(folder, {}, SharedSettings::Writable, service, "S-1-5-21-7-7-7-1002");
  ASSERT_GE(foreign.notes.size(), 1u) << foreign.failure;
  EXPECT_NE(foreign.notes[0].find("belongs to " + account + ": it was moved aside"),
            std::string::npos)
      << foreign.notes[0];
  // Where the note says it went: under Wine the folder made anew is moved aside in turn.
  const std::string to = "moved aside to \"";
  const std::size_t at = foreign.notes[0].find(to) + to.size();
  const std::string aside = foreign.notes[0].substr(at, foreign.notes[0].find('"', at) - at);
  std::string movedAside;
  if (std::ifstream in{fs::path(aside) / "Halcyra.ini", std::ios::binary})
    movedAside.assign(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(movedAside, planted) << "moved aside whole, nothing deleted";
}

TEST(AlarmFile, ReachedThroughALinkItIsMissingAndNothingPlays) {
  const test::TempFolder root;
  fs::create_directories(root.Path() / "real");
  root.WriteFile("real\\ring.wav", "RIFF");
  const auto linked = [&] { return fs::exists(root.Path() / "linked" / "ring.wav"); };
  Host("/bin/ln -s real linked", root.Path(), linked);
  const std::string direct = (root.Path() / "real" / "ring.wav").string();
  const std::string through = (root.Path() / "linked" / "ring.wav").string();
  Win32SoundPlayer player;
  EXPECT_TRUE(player.Playable(direct));
  EXPECT_EQ(player.Load(direct), SoundBytes({'R', 'I', 'F', 'F'}));
  EXPECT_FALSE(player.Playable(through)) << "a symbolic link on the way";
  EXPECT_FALSE(player.Load(through).has_value());
  Host("/bin/rm linked", root.Path(), [&] { return !linked(); });
}

// A folder whose name the ANSI code page cannot hold: the path reaches the file whole.
TEST(AlarmFile, InAFolderOutsideTheCodePageItPlays) {
  const test::TempFolder root;
  const fs::path folder = root.Path() / fs::path(L"\u0141\u00f3d\u017a");
  fs::create_directories(folder);
  std::ofstream(folder / "ring.wav", std::ios::binary) << "RIFF";
  const std::u8string utf8 = (folder / "ring.wav").u8string();
  const std::string path(utf8.begin(), utf8.end());
  Win32SoundPlayer player;
  EXPECT_TRUE(player.Playable(path));
  EXPECT_EQ(player.Load(path), SoundBytes({'R', 'I', 'F', 'F'}));
}

TEST(PreparedSettings, AMissingFileALargeOneAndADevicePathAreRefused) {
  const test::TempFolder root;
  std::string failure;
  EXPECT_FALSE(ReadPreparedSettings(root.File("missing.ini"), failure));
  EXPECT_NE(failure.find("could not be read (error 2)"), std::string::npos) << failure;
  root.WriteFile("large.ini", std::string(kMaxPreparedSettingsBytes + 1, ';'));
  EXPECT_FALSE(ReadPreparedSettings(root.File("large.ini"), failure));
  EXPECT_NE(failure.find("larger than 1 MB"), std::string::npos) << failure;
  root.WriteFile("full.ini", std::string(kMaxPreparedSettingsBytes, ';'));
  EXPECT_EQ(ReadPreparedSettings(root.File("full.ini"), failure)->size(),
            kMaxPreparedSettingsBytes);
  EXPECT_FALSE(ReadPreparedSettings("\\\\?\\" + root.File("full.ini"), failure));
  EXPECT_NE(failure.find("device or object path"), std::string::npos) << failure;
  // Wine shows a Unix symbolic link as a reparse point.
  root.WriteFile("secret.txt", "not for the installation");
  Host("/bin/ln -s secret.txt linked.ini", root.Path(), [&] {
    return GetFileAttributesW((root.Path() / "linked.ini").wstring().c_str()) !=
           INVALID_FILE_ATTRIBUTES;
  });
  EXPECT_FALSE(ReadPreparedSettings(root.File("linked.ini"), failure));
  EXPECT_NE(failure.find("is a link"), std::string::npos) << failure;
  Host("/bin/rm linked.ini", root.Path(), [&] {
    return GetFileAttributesW((root.Path() / "linked.ini").wstring().c_str()) ==
           INVALID_FILE_ATTRIBUTES;
  });
}

TEST(ProcessHardening, ALibraryPlantedBesideTheProgramIsNotLoaded) {
  const test::TempFolder folder;
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const fs::path tests = fs::path(self).parent_path();
  fs::copy_file(tests / "library_probe.exe", folder.Path() / "library_probe.exe");
  fs::copy_file(tests / "planted_wtsapi32.dll", folder.Path() / "wtsapi32.dll");
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = "\"" + (folder.Path() / "library_probe.exe").string() + "\"";
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &info));
  WaitForSingleObject(info.hProcess, 20000);
  DWORD code = 1;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  EXPECT_EQ(code, 0u) << "3: the planted library was loaded";
}

}  // namespace
}  // namespace halcyra
