// The companion service under Wine's service manager: installed, restarted, removed, and
// keeping the schedule. Wine's session list is empty, so the service sees nobody logged on,
// also while a tray program runs; that case is the unit tests'.
#include <gtest/gtest.h>

#include <cstdio>
#include <thread>
#include <vector>

#include "driver/driver_win.h"
#include "platform/service_host.h"
#include "ui/main_window_ids.h"

namespace halcyra::e2e {
namespace {

constexpr const char* kService = "ShutdownService-e2e.exe";

// The journal's lines of what the service did to the machine, without its event-log lines.
std::string Actions() {
  const std::string journal = ReadFileText(DataFile("Effects.txt"));
  std::string actions;
  for (std::size_t at = 0, end; at < journal.size(); at = end + 2) {
    end = journal.find("\r\n", at);
    if (end == std::string::npos) break;
    if (journal.compare(at, 12, "ReportEvent ") != 0) actions += journal.substr(at, end + 2 - at);
  }
  return actions;
}

// Whether the service wrote an event-log line of that id: the sign that it looked.
bool ServiceSaid(ServiceEvent event) {
  return ReadFileText(DataFile("Effects.txt"))
             .find("ReportEvent " + std::to_string(static_cast<unsigned>(event)) + " ") !=
         std::string::npos;
}

bool Control(DWORD access, const std::function<bool(SC_HANDLE)>& action) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  SC_HANDLE service = manager ? OpenServiceA(manager, "Halcyra_Service", access) : nullptr;
  const bool done = service && action(service);
  if (service) CloseServiceHandle(service);
  if (manager) CloseServiceHandle(manager);
  return done;
}

// The service's file must sit where only administrators can change it, or /INSTALL refuses:
// a copy in Program Files, as the package puts it (the build tree may lie under /tmp, which
// every user may write). Copied once per run, before any service runs from it.
std::string InstalledService() {
  char folder[MAX_PATH] = {};
  ExpandEnvironmentStringsA("%ProgramW6432%\\Halcyra-e2e", folder, MAX_PATH);
  CreateDirectoryA(folder, nullptr);
  return std::string(folder) + "\\" + kService;
}

std::optional<DWORD> RunService(const std::string& arguments) {
  AppProcess installer(InstalledService(), arguments);
  return installer.WaitForExit(20s);
}

bool StateBecomes(DWORD wanted) {
  return WaitUntil(
      [wanted] {
        const auto s = QueryCompanionService();
        return s && s->state == wanted;
      },
      10s);
}

class ServiceE2E : public testing::Test {
 protected:
  void SetUp() override {
    // A second name of the log left by a run that was cut short would leave this run's link
    // to it unmade.
    for (const char* name : {"Effects.txt", "Log.txt", "Other.log", "Other.ini"})
      RemoveFile(DataFile(name));
  }
  static void SetUpTestSuite() {
    CopyFileA(AppProcess::ExePath(kService).c_str(), InstalledService().c_str(), FALSE);
  }
  void TearDown() override {
    RunService("/UNINSTALL /SILENT");
    RemoveFile(DataFile("PowerCapabilities.txt"));
  }
  static std::string Settings() { return DataFile("Halcyra.ini"); }
};

TEST_F(ServiceE2E, InstallRegistersStartsAndLeavesAnExistingSettingsFileAlone) {
  const std::string settings = "[general]\r\nFirstStartDone=True\r\n; kept as it is\r\n";
  WriteFileText(Settings(), settings);
  EXPECT_EQ(RunService("/INSTALL /SILENT"), 0u);
  EXPECT_TRUE(StateBecomes(SERVICE_RUNNING));
  EXPECT_EQ(ReadFileText(Settings()), settings) << "never overwritten";

  EXPECT_TRUE(Control(SERVICE_STOP, [](SC_HANDLE s) {
    SERVICE_STATUS status{};
    return ControlService(s, SERVICE_CONTROL_STOP, &status) != FALSE;
  }));
  EXPECT_TRUE(StateBecomes(SERVICE_STOPPED)) << "stops within the wait";
  EXPECT_TRUE(Control(SERVICE_START, [](SC_HANDLE s) { return StartServiceA(s, 0, nullptr); }));
  EXPECT_TRUE(StateBecomes(SERVICE_RUNNING));

  EXPECT_EQ(RunService("/UNINSTALL /SILENT"), 0u);
  EXPECT_TRUE(WaitUntil([] { return !QueryCompanionService().has_value(); }, 5s)) << "removed";
  EXPECT_EQ(ReadFileText(Settings()), settings) << "the settings stay";
}

TEST_F(ServiceE2E, InstallPutsAnEmptySettingsFileWhereNoneIs) {
  RemoveFile(Settings());
  EXPECT_EQ(RunService("/INSTALL /SILENT"), 0u);
  ASSERT_TRUE(FileExists(Settings()));
  EXPECT_EQ(ReadFileText(Settings()), "");
}

TEST_F(ServiceE2E, AnyOtherCommandLineShowsTheUsage) {
  AppProcess wrong(InstalledService(), "/REMOVE");
  HWND box = FindMessageBox(wrong);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageBoxText(box).find("Usage: ShutdownService.exe /INSTALL"), std::string::npos);
  ClickDialogButton(box, IDOK);
  EXPECT_EQ(wrong.WaitForExit(), 2u);
}

TEST_F(ServiceE2E, WithNoTrayProgramTheServiceCarriesOutTheTimer) {
  WriteFileText(Settings(),
                "[general]\r\nFirstStartDone=True\r\n[Log]\r\nEnabled=True\r\n[Timer]\r\n"
                "late=enabled,Power off," +
                    ThisMinute() + ",Once\r\n");
  ASSERT_EQ(RunService("/INSTALL /SILENT"), 0u);
  EXPECT_TRUE(WaitUntil([] { return Actions() == "InitiateShutdown 5 0xB 0x80000000\r\n"; }, 5s))
      << ReadFileText(DataFile("Effects.txt"));
  EXPECT_NE(ReadFileText(DataFile("Log.txt")).find("    Power off\r\n"), std::string::npos);
  EXPECT_EQ(ReadFileText(Settings()).find("late="), std::string::npos) << "once only";
}

// The service sleeps until a timer's minute, unless the data folder changes: a timer saved
// while it sleeps is seen at once.
TEST_F(ServiceE2E, ATimerSavedWhileTheServiceWaitsIsSeenAtOnce) {
  WriteFileText(Settings(), "[general]\r\nFirstStartDone=True\r\n");
  ASSERT_EQ(RunService("/INSTALL /SILENT"), 0u);
  ASSERT_TRUE(StateBecomes(SERVICE_RUNNING));
  WriteFileText(Settings(), "[general]\r\nFirstStartDone=True\r\n[Timer]\r\nsaved=enabled,Reboot," +
                                ThisMinute() + ",Daily\r\n");
  EXPECT_TRUE(WaitUntil([] { return Actions() == "InitiateShutdown 5 0x7 0x80000000\r\n"; }, 5s))
      << ReadFileText(DataFile("Effects.txt"));
}

// On modern standby a service has no display to turn off: it leaves Suspend.
TEST_F(ServiceE2E, OnModernStandbyTheServiceDoesNotSuspend) {
  WriteFileText(DataFile("PowerCapabilities.txt"), "S1=0 S2=0 S3=0 AoAc=1\r\n");
  WriteFileText(Settings(), "[general]\r\nFirstStartDone=True\r\n[Timer]\r\ndoze=enabled,Suspend," +
                                ThisMinute() + ",Once\r\n");
  ASSERT_EQ(RunService("/INSTALL /SILENT"), 0u);
  EXPECT_TRUE(StateBecomes(SERVICE_RUNNING));
  // The timer of this minute is due at the service's first look, as it starts; its event-log
  // line is the sign that it looked.
  ASSERT_TRUE(WaitUntil([] { return ServiceSaid(ServiceEvent::NothingToDo); }, 10s))
      << ReadFileText(DataFile("Effects.txt"));
  EXPECT_EQ(Actions(), "");
  EXPECT_NE(ReadFileText(Settings()).find("doze="), std::string::npos) << "left, not done";
}

// Runs the host's program in the data folder until `done` holds: Wine's own calls make no links,
// but it shows the host's as Windows would, and it reports no exit of a host program.
void InDataFolder(const std::string& commandLine, const std::function<bool()>& done) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string line = commandLine;
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             DataFolder().c_str(), &startup, &info));
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  ASSERT_TRUE(WaitUntil(done, 5s)) << commandLine;
}

TEST_F(ServiceE2E, SharedFilesThatAreLinksAreLeftAloneAndNothingIsDone) {
  WriteFileText(Settings(), "[general]\r\nFirstStartDone=True\r\n");
  ASSERT_EQ(RunService("/INSTALL /SILENT"), 0u);
  const std::string due =
      "[Log]\r\nEnabled=True\r\n[Timer]\r\nlate=enabled,Power off," + ThisMinute() + ",Once\r\n";
  // The settings file becomes a link to another file with a due timer.
  WriteFileText(DataFile("Other.ini"), due);
  InDataFolder("/bin/rm Halcyra.ini", [] { return !FileExists(Settings()); });
  InDataFolder("/bin/ln -s Other.ini Halcyra.ini", [] { return FileExists(Settings()); });
  // The service says why it leaves the files alone: the sign that it looked.
  ASSERT_TRUE(WaitUntil([] { return ServiceSaid(ServiceEvent::FileRefused); }, 30s))
      << ReadFileText(DataFile("Effects.txt"));
  EXPECT_EQ(Actions(), "");
  EXPECT_EQ(ReadFileText(DataFile("Other.ini")), due) << "nothing removed through the link";

  // A plain settings file, but a log with a second name.
  InDataFolder("/bin/rm Halcyra.ini Other.ini", [] { return !FileExists(Settings()); });
  WriteFileText(DataFile("Log.txt"), "");
  InDataFolder("/bin/ln Log.txt Other.log", [] { return FileExists(DataFile("Other.log")); });
  RemoveFile(DataFile("Effects.txt"));
  WriteFileText(Settings(), due);
  ASSERT_TRUE(WaitUntil([] { return ServiceSaid(ServiceEvent::FileRefused); }, 30s))
      << ReadFileText(DataFile("Effects.txt"));
  EXPECT_EQ(Actions(), "");
  EXPECT_EQ(ReadFileText(Settings()), due) << "the once-only timer stays";
  EXPECT_EQ(ReadFileText(DataFile("Log.txt")), "");
  RemoveFile(DataFile("Other.log"));
}

TEST_F(ServiceE2E, TheServiceRunsAsLocalServiceAndASilentRunShowsNoWindow) {
  WriteFileText(Settings(), "[general]\r\nFirstStartDone=True\r\n");
  ASSERT_EQ(RunService("/INSTALL /SILENT"), 0u);
  std::string account;
  Control(SERVICE_QUERY_CONFIG, [&account](SC_HANDLE service) {
    DWORD needed = 0;
    QueryServiceConfigA(service, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    if (!QueryServiceConfigA(service, config, needed, &needed)) return false;
    account = config->lpServiceStartName ? config->lpServiceStartName : "";
    return true;
  });
  EXPECT_EQ(account, "NT AUTHORITY\\LocalService");

  AppProcess wrong(InstalledService(), "/INSTALL /SILENT /BOGUS");
  EXPECT_EQ(FindMessageBox(wrong, 1500ms), nullptr) << "no usage box for an installer";
  EXPECT_EQ(wrong.WaitForExit(5s), 2u);
}

TEST_F(ServiceE2E, OkInTheMainWindowRestartsTheService) {
  WriteFileText(Settings(), "[general]\r\nFirstStartDone=True\r\n");
  ASSERT_EQ(RunService("/INSTALL /SILENT"), 0u);
  ASSERT_TRUE(StateBecomes(SERVICE_RUNNING));
  const auto before = QueryCompanionService();
  ASSERT_TRUE(before.has_value());
  AppProcess tray;
  HWND main = ShowMainWindow(tray);
  ASSERT_NE(main, nullptr);
  ClickDialogButton(main, main_ids::kOk);
  ASSERT_TRUE(WaitVisible(main, false));
  EXPECT_TRUE(WaitUntil(
      [&before] {
        const auto now = QueryCompanionService();
        return now && now->state == SERVICE_RUNNING && now->processId != before->processId;
      },
      10s))
      << "stopped and started again: a new service process";
}

}  // namespace
}  // namespace halcyra::e2e
