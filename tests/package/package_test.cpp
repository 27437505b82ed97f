// The Windows Installer package under Wine's msiexec, in a prefix of its own: silent install,
// a prepared settings file, uninstall, reinstall and upgrade, and the help file.
#include <windows.h>

#include <msi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "driver/driver_win.h"
#include "ui/main_window_ids.h"

namespace halcyra::e2e {
namespace {

namespace fs = std::filesystem;

// The package next to the test program's folder, and one with a lower version for the upgrade.
std::string Package(const char* name) { return AppProcess::ExePath(name); }

// Unless the caller keeps a log of its own, msiexec writes one, and a failure prints the lines
// that say why: an installation that fails now and then must tell its cause the first time.
DWORD Msiexec(const std::string& arguments) {
  if (arguments.find("/l") != std::string::npos)
    return RunCommand("msiexec.exe " + arguments + " /qn");
  const std::string log = AppProcess::ExePath("package_tests.exe") + ".last.log";
  DeleteFileA(log.c_str());
  const DWORD code = RunCommand("msiexec.exe " + arguments + " /qn /l*v \"" + log + "\"");
  if (code == 0) return code;
  std::string text = ReadFileText(log);
  std::erase(text, '\0');  // a log written in UTF-16
  std::printf("msiexec %s ended with %lu; what its log says:\n", arguments.c_str(), code);
  for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
    end = std::min(text.find('\n', at), text.size());
    const std::string line = text.substr(at, end - at);
    for (const char* sign : {"Return value 3", "rror", "Halcyra:", "failed"})
      if (line.find(sign) != std::string::npos) {
        std::printf("  %s\n", line.c_str());
        break;
      }
  }
  return code;
}

std::string ProgramFolder() {
  char folder[MAX_PATH] = {};
  ExpandEnvironmentStringsA("%ProgramW6432%\\Halcyra", folder, MAX_PATH);
  return folder;
}
std::string Installed(const char* name) { return ProgramFolder() + "\\" + name; }

std::optional<DWORD> ServiceState() {
  const auto service = QueryCompanionService();
  if (!service) return std::nullopt;
  return service->state;
}

std::optional<std::string> RunEntry() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                    KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return std::nullopt;
  char value[MAX_PATH] = {};
  DWORD size = sizeof value;
  const LONG read =
      RegQueryValueExA(key, "Halcyra", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS) return std::nullopt;
  return std::string(value);
}

// The package is per machine (ALLUSERS=1): Windows puts the shortcut into every user's Start
// menu; Wine's installer into the installing user's.
bool StartMenuShortcutExists() {
  for (const char* place : {"%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs\\Halcyra.lnk",
                            "%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs\\Halcyra.lnk"}) {
    char path[MAX_PATH] = {};
    ExpandEnvironmentStringsA(place, path, MAX_PATH);
    if (FileExists(path)) return true;
  }
  return false;
}

// A process of this name runs, whatever started it.
bool ProcessRuns(const char* exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found;
       more = Process32Next(snapshot, &entry))
    found = _stricmp(entry.szExeFile, exeName) == 0;
  CloseHandle(snapshot);
  return found;
}

class PackageTest : public testing::Test {
 protected:
  // Each test starts from a machine without the package and without settings, whatever an
  // earlier test or run left, whichever build of whichever version; a test that needs the
  // package installs it itself, so that any one of them runs alone.
  void SetUp() override {
    char product[39] = {};
    for (int left = 10;
         left > 0 && MsiEnumRelatedProductsA(HALCYRA_UPGRADE_CODE, 0, 0, product) == ERROR_SUCCESS;
         --left)
      Msiexec(std::string("/x ") + product);
    fs::remove_all(DataFolder());
  }
  void TearDown() override { first_.reset(); }
  static constexpr const char* kPackage = HALCYRA_MSI_NAME;
  std::unique_ptr<AppProcess> first_;
};

TEST_F(PackageTest, ASilentInstallPutsEverythingInPlaceAndTheFirstStartFollows) {
  ASSERT_EQ(Msiexec("/i \"" + Package(kPackage) + "\""), 0u);
  for (const char* file :
       {"Halcyra.exe", "ShutdownService.exe", "HalcyraCmd.exe", "help.chm", "License.txt"})
    EXPECT_TRUE(FileExists(Installed(file))) << file;
  EXPECT_EQ(ServiceState(), SERVICE_RUNNING);
  EXPECT_EQ(RunEntry(), "\"" + Installed("Halcyra.exe") + "\"") << "started at every logon";
  EXPECT_TRUE(StartMenuShortcutExists());
  ASSERT_TRUE(FileExists(DataFile("Halcyra.ini")));
  EXPECT_EQ(ReadFileText(DataFile("Halcyra.ini")), "") << "an empty settings file";

  first_ = std::make_unique<AppProcess>(Installed("Halcyra.exe"));
  EXPECT_NE(FindWindowOf(*first_, "TForm1", "Wizard of Halcyra"), nullptr) << "the first start";
  first_->Terminate();
}

TEST_F(PackageTest, HelpOpensTheInstalledHelpFile) {
  ASSERT_EQ(Msiexec("/i \"" + Package(kPackage) + "\""), 0u);
  ASSERT_TRUE(FileExists(Installed("help.chm")));
  WriteFileText(DataFile("Halcyra.ini"), "[general]\r\nFirstStartDone=True\r\n");
  AppProcess app(Installed("Halcyra.exe"));
  HWND main = ShowMainWindow(app);
  ASSERT_NE(main, nullptr);
  ClickDialogButton(main, main_ids::kHelp);
  EXPECT_TRUE(WaitUntil([] { return ProcessRuns("hh.exe"); }, 10s)) << "the help viewer";
  RunCommand("taskkill.exe /f /im hh.exe");
}

TEST_F(PackageTest, UninstallRemovesTheProgramAndKeepsTheSettings) {
  ASSERT_EQ(Msiexec("/i \"" + Package(kPackage) + "\""), 0u);
  const std::string settings =
      "[general]\r\nFirstStartDone=True\r\n[Timer]\r\nkept=enabled,"
      "Shutdown,23:00,Daily\r\n";
  WriteFileText(DataFile("Halcyra.ini"), settings);
  ASSERT_EQ(Msiexec("/x \"" + Package(kPackage) + "\""), 0u);
  for (const char* file :
       {"Halcyra.exe", "ShutdownService.exe", "HalcyraCmd.exe", "help.chm", "License.txt"})
    EXPECT_FALSE(FileExists(Installed(file))) << file;
  EXPECT_FALSE(ServiceState().has_value()) << "the service is gone";
  EXPECT_FALSE(RunEntry().has_value());
  EXPECT_FALSE(StartMenuShortcutExists());
  EXPECT_EQ(ReadFileText(DataFile("Halcyra.ini")), settings) << "byte for byte";

  ASSERT_EQ(Msiexec("/i \"" + Package(kPackage) + "\""), 0u);
  EXPECT_EQ(ReadFileText(DataFile("Halcyra.ini")), settings) << "a reinstall keeps it too";
  EXPECT_EQ(ServiceState(), SERVICE_RUNNING);
  ASSERT_EQ(Msiexec("/x \"" + Package(kPackage) + "\""), 0u);
}

TEST_F(PackageTest, AnUpgradeKeepsTheSettings) {
  const std::string settings = "[general]\r\nFirstStartDone=True\r\nDuration=12\r\n";
  WriteFileText(DataFile("Halcyra.ini"), settings);
  ASSERT_EQ(Msiexec("/i \"" + Package(HALCYRA_OLDER_MSI_NAME) + "\""), 0u);
  ASSERT_EQ(Msiexec("/i \"" + Package(kPackage) + "\""), 0u);
  EXPECT_EQ(ReadFileText(DataFile("Halcyra.ini")), settings);
  EXPECT_EQ(ServiceState(), SERVICE_RUNNING) << "the new package's service runs";
  EXPECT_TRUE(FileExists(Installed("Halcyra.exe")));
  ASSERT_EQ(Msiexec("/x \"" + Package(kPackage) + "\""), 0u);
  EXPECT_FALSE(ServiceState().has_value()) << "one product installed: one removal takes all";
  EXPECT_FALSE(FileExists(Installed("Halcyra.exe"))) << "the older version left nothing behind";
}

TEST_F(PackageTest, APreparedSettingsFileMakesAnOrdinaryFirstStart) {
  const std::string prepared = AppProcess::ExePath("package_tests.exe") + ".prepared.ini";
  WriteFileText(prepared,
                "[general]\r\nFirstStartDone=True\r\n[Timer]\r\nfleet=enabled,"
                "Shutdown,22:30,Weekday\r\n");
  ASSERT_EQ(Msiexec("/i \"" + Package(kPackage) + "\" SETTINGS=\"" + prepared + "\""), 0u);
  EXPECT_EQ(ReadFileText(DataFile("Halcyra.ini")), ReadFileText(prepared));
  AppProcess app(Installed("Halcyra.exe"));
  HWND main = ShowMainWindow(app);
  ASSERT_NE(main, nullptr) << "no wizard: an ordinary start";
  const auto rows = ListViewRows(Control(main, main_ids::kLvwTimer), 5);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], "fleet");
  app.Terminate();

  // Without SETTINGS_OVERWRITE an existing file stays; with it, it is replaced.
  WriteFileText(prepared, "[general]\r\nFirstStartDone=True\r\n");
  ASSERT_EQ(Msiexec("/x \"" + Package(kPackage) + "\""), 0u);
  ASSERT_EQ(Msiexec("/i \"" + Package(kPackage) + "\" SETTINGS=\"" + prepared + "\""), 0u);
  EXPECT_NE(ReadFileText(DataFile("Halcyra.ini")).find("fleet="), std::string::npos);
  ASSERT_EQ(Msiexec("/x \"" + Package(kPackage) + "\""), 0u);
  ASSERT_EQ(Msiexec("/i \"" + Package(kPackage) + "\" SETTINGS=\"" + prepared +
                    "\" SETTINGS_OVERWRITE=1"),
            0u);
  EXPECT_EQ(ReadFileText(DataFile("Halcyra.ini")), ReadFileText(prepared));
  ASSERT_EQ(Msiexec("/x \"" + Package(kPackage) + "\""), 0u);
}

// The value the package keeps for SHARED_SETTINGS, or nullopt.
std::optional<std::string> RememberedSharedSettings() {
  char value[64] = {};
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Halcyra", "SharedSettings", RRF_RT_REG_SZ,
                   nullptr, value, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::string(value);
}

// The lock's rights are checked where they are built (Wine keeps no descriptor on files): here,
// that the package takes the property, keeps it across an upgrade and lifts it when told.
TEST_F(PackageTest, ASharedSettingsLockInstallsAndIsKeptAcrossAnUpgrade) {
  ASSERT_EQ(Msiexec("/i \"" + Package(HALCYRA_OLDER_MSI_NAME) + "\" SHARED_SETTINGS=ReadOnly"), 0u);
  EXPECT_EQ(RememberedSharedSettings(), "ReadOnly");
  ASSERT_EQ(Msiexec("/i \"" + Package(kPackage) + "\""), 0u);
  EXPECT_EQ(RememberedSharedSettings(), "ReadOnly") << "not told again";
  EXPECT_EQ(ServiceState(), SERVICE_RUNNING);
  EXPECT_TRUE(FileExists(DataFile("Log.txt")));
  ASSERT_EQ(Msiexec("/x \"" + Package(kPackage) + "\""), 0u);
  EXPECT_FALSE(RememberedSharedSettings().has_value());
  ASSERT_EQ(Msiexec("/i \"" + Package(kPackage) + "\""), 0u);
  EXPECT_EQ(RememberedSharedSettings(), "Writable") << "the default after a removal";
  ASSERT_EQ(Msiexec("/x \"" + Package(kPackage) + "\""), 0u);
  EXPECT_NE(Msiexec("/i \"" + Package(kPackage) + "\" SHARED_SETTINGS=Locked"), 0u);
  EXPECT_FALSE(ServiceState().has_value()) << "an unknown word fails the installation";
}

// Windows Installer itself registers the service, so a failure rolls it back with the files;
// the reason is in the installer's log. (Wine's msiexec answers 1627 where Windows answers 1603.)
TEST_F(PackageTest, AFailedInstallLeavesNothingBehindAndSaysWhyInTheLog) {
  const std::string log = AppProcess::ExePath("package_tests.exe") + ".install.log";
  for (const std::string& settings :
       {std::string("C:\\nowhere\\missing.ini"), std::string("relative.ini")}) {
    RemoveFile(log);
    EXPECT_NE(Msiexec("/i \"" + Package(kPackage) + "\" SETTINGS=\"" + settings + "\" /l*v \"" +
                      log + "\""),
              0u)
        << settings;
    EXPECT_FALSE(ServiceState().has_value()) << "no service";
    EXPECT_FALSE(RunEntry().has_value()) << "no logon entry";
    for (const char* file : {"Halcyra.exe", "ShutdownService.exe"})
      EXPECT_FALSE(FileExists(Installed(file))) << file;
    // The installer's log is UTF-16 or ANSI, depending on the installer: look for ASCII bytes.
    std::string text = ReadFileText(log);
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    EXPECT_NE(text.find(settings.find(':') != std::string::npos ? "could not be read"
                                                                : "is not a full path"),
              std::string::npos)
        << settings;
  }
}

// Runs a host program in that folder and waits for it: Wine's own calls make no links.
void OnHost(const std::string& commandLine, const char* folder) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder,
                             &startup, &info));
  WaitForSingleObject(info.hProcess, 10000);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
}

// The package installs into INSTALLDIR as written: one that reaches Program Files through a link
// is refused, since the link could later point anywhere.
TEST_F(PackageTest, AnInstallFolderThroughALinkIsRefusedWithItsReason) {
  const std::string log = AppProcess::ExePath("package_tests.exe") + ".install.log";
  RemoveFile(log);
  OnHost("/bin/ln -sfn \"Program Files\" HalcyraLinked", "C:\\");
  // Wine hears of no end of a host program: the link itself is the sign it is done.
  ASSERT_TRUE(WaitUntil(
      [] { return GetFileAttributesA("C:\\HalcyraLinked") != INVALID_FILE_ATTRIBUTES; }, 10s))
      << "the host's link";
  EXPECT_NE(Msiexec("/i \"" + Package(kPackage) +
                    "\" INSTALLDIR=\"C:\\HalcyraLinked\\Halcyra\" /l*v \"" + log + "\""),
            0u);
  EXPECT_FALSE(FileExists(Installed("Halcyra.exe")));
  std::string text = ReadFileText(log);
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  EXPECT_NE(text.find("through a link"), std::string::npos);
  OnHost("/bin/rm -f HalcyraLinked", "C:\\");
}

// The system's PATH as the registry holds it.
std::string SystemPath() {
  char path[8192] = {};
  DWORD size = sizeof path;
  RegGetValueA(HKEY_LOCAL_MACHINE,
               "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", "PATH",
               RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, path, &size);
  return path;
}

TEST_F(PackageTest, TheServiceComesFromTheInstallersTablesWithItsEventSource) {
  ASSERT_EQ(Msiexec("/i \"" + Package(kPackage) + "\""), 0u);
  EXPECT_EQ(ServiceState(), SERVICE_RUNNING);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                          "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\"
                          "Halcyra_Service",
                          0, KEY_READ | KEY_WOW64_64KEY, &key),
            ERROR_SUCCESS);
  char file[MAX_PATH] = {};
  DWORD size = sizeof file, types = 0, typesSize = sizeof types;
  RegQueryValueExA(key, "EventMessageFile", nullptr, nullptr, reinterpret_cast<BYTE*>(file), &size);
  RegQueryValueExA(key, "TypesSupported", nullptr, nullptr, reinterpret_cast<BYTE*>(&types),
                   &typesSize);
  RegCloseKey(key);
  EXPECT_EQ(_stricmp(file, Installed("ShutdownService.exe").c_str()), 0) << file;
  EXPECT_EQ(types, 7u);
  EXPECT_NE(SystemPath().find(ProgramFolder()), std::string::npos) << "HalcyraCmd on the PATH";
  ASSERT_EQ(Msiexec("/x \"" + Package(kPackage) + "\""), 0u);
  EXPECT_EQ(SystemPath().find(ProgramFolder()), std::string::npos) << SystemPath();
}

}  // namespace
}  // namespace halcyra::e2e
