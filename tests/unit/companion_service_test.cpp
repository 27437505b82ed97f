// The companion service's schedule and command line, with fakes of the machine.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/command_line_words.h"
#include "platform/portable/portable_file_stamps.h"
#include "platform/portable/portable_text_files.h"
#include "service/companion_schedule.h"
#include "service/service_command_line.h"
#include "support/fakes.h"
#include "support/temp_folder.h"

namespace halcyra {
namespace {

// Planned, forced, five seconds of grace; power off or restart. Forced sleep, wake events on.
constexpr const char* kPowerOffCall = "InitiateShutdown 5 0xB 0x80000000";
constexpr const char* kRestartCall = "InitiateShutdown 5 0x7 0x80000000";
constexpr const char* kHibernateCall = "SetSuspendState 1 1 0";

TEST(ServiceCommandLine, TheInstallerSwitchesAndNothingElse) {
  using C = ServiceCommand;
  const auto parse = [](const char* line) { return ParseServiceArguments(SplitCommandLine(line)); };
  EXPECT_EQ(parse("\"C:\\Program Files\\Halcyra\\ShutdownService.exe\"").command, C::RunAsService);
  const ServiceRequest install = parse("\"C:\\Tools\\ShutdownService.exe\" /INSTALL /SILENT");
  EXPECT_EQ(install.command, C::Install);
  EXPECT_TRUE(install.silent);
  EXPECT_EQ(parse("x.exe -uninstall").command, C::Uninstall);
  EXPECT_FALSE(parse("x.exe /UNINSTALL").silent);
  EXPECT_EQ(parse("x.exe /silent /install").command, C::Install);
  const ServiceRequest fleet =
      parse("x.exe /INSTALL /SILENT \"/SETTINGS=\\\\server\\share\\Halcyra.ini\" /OVERWRITE");
  EXPECT_EQ(fleet.command, C::Install);
  EXPECT_EQ(fleet.settingsSource, "\\\\server\\share\\Halcyra.ini");
  EXPECT_TRUE(fleet.overwrite);
  EXPECT_EQ(parse("x.exe /INSTALL /SILENT /SETTINGS=").settingsSource, "") << "no file given";
  for (const char* bad :
       {"x.exe /SILENT", "x.exe /INSTALL /UNINSTALL", "x.exe /INSTALL extra",
        "x.exe /UNINSTALL /SETTINGS=a.ini", "x.exe /INSTALL /OVERWRITE /OVERWRITE", "x.exe /",
        "x.exe /INSTALL /SILENT /SILENT", "x.exe /?"})
    EXPECT_EQ(parse(bad).command, C::Usage) << bad;
  EXPECT_TRUE(parse("x.exe /INSTALL -silent /bad").silent) << "no usage box for an installer";
  EXPECT_FALSE(parse("x.exe /INSTALL /bad").silent);
  EXPECT_EQ(SplitCommandLine("a.exe \"one two\"  three"),
            (std::vector<std::string>{"one two", "three"}));
}

class CompanionScheduleTest : public testing::Test {
 protected:
  CompanionScheduleTest() {
    std::filesystem::create_directories(folder_.Path() / "root" / "Halcyra");
    os_.commonAppData = (folder_.Path() / "root").string();
    clock_.now = {2026, 12, 1, 7, 22, 0, 5, 0};  // Monday 7 December 2026, 22:00:05
  }
  std::string SettingsPath() const { return *os_.commonAppData + "\\Halcyra\\Halcyra.ini"; }
  std::string LogPath() const { return *os_.commonAppData + "\\Halcyra\\Log.txt"; }
  void Prepare(const std::string& content) {
    std::ofstream(SettingsPath(), std::ios::binary | std::ios::trunc) << content;
  }
  std::string Read(const char* section, const char* key) {
    return SettingsFile(ini_, SettingsPath(), {}).ReadString(section, key);
  }
  CompanionSchedule& Start() {
    schedule_.emplace(services_);
    schedule_->Start();
    return *schedule_;
  }

  test::TempFolder folder_;
  test::FakeOsInfo os_;
  test::RefusingIniProfile ini_;
  test::FixedRegionalSettings regional_;
  test::FakeClock clock_;
  test::FakeWakeTimers wake_;
  test::FakeSleepSupport sleep_;
  test::FakeSessionList sessions_;
  test::FakeFileInspector inspector_;
  PortableFileStamps stamps_;
  test::FakeServicePower power_;
  PortableTextFiles files_;
  test::FakeSystemLog log_;
  test::FakePolicyStore policyStore_;
  PolicyWatch policies_{policyStore_, log_, PolicyReach::MachineOnly};
  CompanionServices services_{os_,        ini_,    regional_, clock_, wake_, sleep_,   sessions_,
                              inspector_, stamps_, power_,    files_, log_,  policies_};
  std::optional<CompanionSchedule> schedule_;
};

// The machine's policies, read again at each look: their timers fire, the file's are off while
// a policy says so, and the log follows the policy over the file.
TEST_F(CompanionScheduleTest, TheMachinesPoliciesRuleTheTimersAndTheLogFromTheNextLook) {
  Prepare("[Timer]\r\nnight=enabled,Power off,22:00,Daily\r\n[Log]\r\nEnabled=True\r\n");
  CompanionSchedule& s = Start();
  policyStore_.SetNumber(PolicyScope::Machine, "DisableUserTimers", 1);
  policyStore_.SetNumber(PolicyScope::Machine, "LogEnabled", 0);
  policyStore_.SetText(PolicyScope::Machine, "lab", "enabled,Hibernate,22:00,Daily",
                       "Software\\Policies\\Halcyra\\Timers");
  s.Tick();
  EXPECT_EQ(power_.calls, std::vector<std::string>{kHibernateCall});
  EXPECT_FALSE(std::filesystem::exists(LogPath())) << "no log line";
  ASSERT_EQ(s.Timers().size(), 1u);
  EXPECT_TRUE(s.Timers()[0].Managed);
}

TEST_F(CompanionScheduleTest, ActsOnlyWhenItCanTellThatNobodyIsLoggedOn) {
  Prepare("[Timer]\r\nnight=enabled,Power off,22:00,Daily\r\n[Log]\r\nEnabled=True\r\n");
  CompanionSchedule& s = Start();
  sessions_.LogOn("alice");  // with or without the tray program: that is her session's business
  s.Tick();
  EXPECT_TRUE(power_.calls.empty()) << "nothing is forced on a user's session";
  ASSERT_EQ(log_.lines.size(), 1u);
  EXPECT_EQ(log_.lines[0].rfind("3 The timer \"night\"", 0), 0u) << "its own event id";
  s.Tick();
  EXPECT_EQ(log_.lines.size(), 1u) << "once per minute";

  // What cannot be read counts as somebody there: the list, or one session's user.
  sessions_.users[0] = "";
  for (int failure = 0; failure < 2; ++failure) {
    if (failure == 0)
      sessions_.sessions.reset();
    else
      sessions_.sessions = std::vector<unsigned>{0, 3};  // session 3's user is unreadable
    clock_.now.day = static_cast<std::uint16_t>(8 + failure);
    clock_.now.dayOfWeek = static_cast<std::uint16_t>(2 + failure);
    s.Tick();
    EXPECT_TRUE(power_.calls.empty()) << "failure " << failure;
  }
  sessions_.sessions = std::vector<unsigned>{0};

  clock_.now.day = 10;
  clock_.now.dayOfWeek = 4;
  s.Tick();
  EXPECT_EQ(power_.calls, std::vector<std::string>{kPowerOffCall});
  EXPECT_EQ(log_.lines.back().rfind("2 The timer \"night\"", 0), 0u) << log_.lines.back();
  EXPECT_EQ(sleep_.keepAwake,
            (std::vector<std::string>{"Halcyra service: Power off due", "let sleep"}))
      << "held awake for the action, naming it";
  std::ifstream log(LogPath(), std::ios::binary);
  const std::string line((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_EQ(line, "2026-12-10 22:00:05    Power off\r\n") << "the tray program's line";
  s.Tick();
  EXPECT_EQ(power_.calls.size(), 1u) << "one firing per minute";
}

TEST_F(CompanionScheduleTest, AOnceTimerLeavesTheFileAndARebootIsStampedFirst) {
  Prepare("[Timer]\r\nonce=enabled,Reboot,22:00,Once\r\nkeep=enabled,Shutdown,23:00,Daily\r\n");
  CompanionSchedule& s = Start();
  s.Tick();
  EXPECT_EQ(power_.calls, std::vector<std::string>{kRestartCall});
  EXPECT_EQ(Read("Timer", "once"), "");
  EXPECT_EQ(Read("Timer", "keep"), "enabled,Shutdown,23:00,Daily");
  EXPECT_NE(Read("Log", "LastRebootTime"), "");
  ASSERT_EQ(s.Timers().size(), 1u) << "read again after the change";

  // The machine is back within the same minute, the service starts afresh: the stamp guards.
  Prepare("[Timer]\r\nagain=enabled,Reboot,22:00,Daily\r\n[Log]\r\nLastRebootTime=" +
          Read("Log", "LastRebootTime") + "\r\n");
  power_.calls.clear();
  Start().Tick();
  EXPECT_TRUE(power_.calls.empty()) << "the reboot guard";
}

TEST_F(CompanionScheduleTest, LogOffHasNobodyToLogOffAndSleepStatesGoThroughSuspendState) {
  Prepare("[Timer]\r\nbye=enabled,Log off,22:00,Daily\r\n");
  Start().Tick();
  EXPECT_TRUE(power_.calls.empty());
  ASSERT_EQ(log_.lines.size(), 1u);
  EXPECT_NE(log_.lines[0].find("nobody to log off"), std::string::npos);

  Prepare("[Timer]\r\nnap=enabled,Hibernate,22:00,Daily\r\n");
  Start().Tick();
  EXPECT_EQ(power_.calls, std::vector<std::string>{kHibernateCall});
  sleep_.capabilities = PowerCapabilities{};
  Prepare("[Timer]\r\ndoze=enabled,Suspend,22:00,Daily\r\n");
  Start().Tick();
  EXPECT_EQ(power_.calls, std::vector<std::string>{kHibernateCall}) << "not allowed: no call";
  EXPECT_NE(log_.lines.back().find("did not carry out"), std::string::npos) << log_.lines.back();
  Prepare("[Timer]\r\nnap=enabled,Hibernate,22:00,Daily\r\n");
  Start().Tick();
  EXPECT_EQ(power_.calls, std::vector<std::string>{kHibernateCall}) << "not allowed: no call";

  // Modern standby: a service has no display to turn off, so Suspend is left, and said why;
  // the other actions still go ahead.
  sleep_.capabilities = PowerCapabilities{.s4 = true, .aoac = true, .hiberFile = HiberFile::Full};
  Prepare("[Timer]\r\ndoze=enabled,Suspend,22:00,Daily\r\n");
  const std::size_t before = log_.lines.size();
  Start().Tick();
  EXPECT_EQ(power_.calls, std::vector<std::string>{kHibernateCall}) << "no suspend call";
  ASSERT_EQ(log_.lines.size(), before + 1) << "one line";
  EXPECT_NE(log_.lines.back().find("modern standby"), std::string::npos) << log_.lines.back();
  Prepare("[Timer]\r\nnap=enabled,Hibernate,22:00,Daily\r\n");
  Start().Tick();
  EXPECT_EQ(power_.calls, (std::vector<std::string>{kHibernateCall, kHibernateCall}));
}

// A once-only timer goes back into the file; any other is left as it was.
TEST_F(CompanionScheduleTest, ATimerStaysWhenTheServiceCannotCarryItsActionOut) {
  const std::string entries[] = {"bye=enabled,Log off,22:00,Once", "odd=enabled,Dance,22:00,Once",
                                 "doze=enabled,Suspend,22:00,Once",
                                 "halt=enabled,Shutdown,22:00,Once",
                                 "daily=enabled,Shutdown,22:00,Daily"};
  sleep_.capabilities = PowerCapabilities{};
  power_.accept = false;
  for (const std::string& entry : entries) {
    SCOPED_TRACE(entry);
    Prepare("[Timer]\r\n" + entry + "\r\n");
    Start().Tick();
    const std::size_t eq = entry.find('=');
    EXPECT_EQ(Read("Timer", entry.substr(0, eq).c_str()), entry.substr(eq + 1));
  }
}

TEST_F(CompanionScheduleTest, AChangedFileIsReadAgainAndItsWakeUpTimersArmedAgain) {
  Prepare("[Timer]\r\nlater=enabled,Shutdown,23:30,Daily\r\n");
  CompanionSchedule& s = Start();
  ASSERT_EQ(wake_.Live(), 1u);
  s.Tick();
  EXPECT_EQ(wake_.armed.size(), 1u) << "an unchanged file is not read again";
  // An edit in the timer editor, without OK: it counts at once.
  Prepare("[Timer]\r\nlater=enabled,Shutdown,23:30,Daily\r\nnow=enabled,Power off,22:00,Daily\r\n");
  s.Tick();
  EXPECT_EQ(power_.calls, std::vector<std::string>{kPowerOffCall});
  EXPECT_EQ(s.Timers().size(), 2u);
  EXPECT_EQ(wake_.Live(), 2u) << "the old wake-up timers went, new ones came";
  EXPECT_GE(wake_.armed.size(), 3u);
  s.Stop();
  EXPECT_EQ(wake_.Live(), 0u);
}

// Any reader of the shared file can hold it; the service then skips the minute, says so once,
// and reads the unchanged file again the next minute.
TEST_F(CompanionScheduleTest, AFileHeldByAnotherProgramSkipsTheMinuteAndIsReadAgain) {
  Prepare("[Timer]\r\nnight=enabled,Power off,22:00,Daily\r\n");
  ini_.held = true;
  CompanionSchedule& s = Start();
  EXPECT_TRUE(s.Timers().empty());
  s.Tick();
  EXPECT_TRUE(power_.calls.empty());
  ASSERT_EQ(log_.lines.size(), 1u) << "said once";
  EXPECT_EQ(log_.lines[0],
            "6 The settings file \"" + SettingsPath() +
                "\" could not be read within 2 seconds: another program holds it. The service "
                "skips this minute and reads it again the next.");
  ini_.held = false;
  clock_.now.minute = 1;
  s.Tick();
  EXPECT_EQ(s.Timers().size(), 1u);
}

TEST_F(CompanionScheduleTest, ASharedFileThatIsNotWhatItSeemsStopsEverything) {
  Prepare("[Timer]\r\nonce=enabled,Power off,22:00,Once\r\n[Log]\r\nEnabled=True\r\n");
  inspector_.facts[SettingsPath()] = {FileFacts::Found::Yes, false, true, 1,
                                      "C:\\Windows\\win.ini"};
  CompanionSchedule& s = Start();
  EXPECT_TRUE(s.Timers().empty()) << "a settings file that is a link is not read";
  ASSERT_EQ(log_.lines.size(), 1u);
  EXPECT_EQ(log_.lines[0].rfind("5 ", 0), 0u) << log_.lines[0];
  EXPECT_NE(log_.lines[0].find("is a link"), std::string::npos) << log_.lines[0];

  // The settings file is fine again and read; then, before the timer falls due, the log gets
  // a second name somewhere else: it is checked again before the action.
  inspector_.facts.erase(SettingsPath());
  CompanionSchedule& again = Start();
  ASSERT_EQ(again.Timers().size(), 1u);
  inspector_.facts[LogPath()] = {FileFacts::Found::Yes, false, false, 2, LogPath()};
  again.Tick();
  EXPECT_TRUE(power_.calls.empty());
  EXPECT_EQ(Read("Timer", "once"), "enabled,Power off,22:00,Once") << "nothing removed";
  EXPECT_FALSE(std::filesystem::exists(LogPath())) << "nothing written";
  EXPECT_NE(log_.lines.back().find("has 2 links"), std::string::npos) << log_.lines.back();

  // Swapped for a link while it is read: what was read through the link is dropped.
  inspector_.facts.erase(LogPath());
  inspector_.next[SettingsPath()] = {{FileFacts::Found::Yes, false, false, 1, SettingsPath()},
                                     {FileFacts::Found::Yes, false, true, 1, "C:\\Other.ini"}};
  CompanionSchedule& swapped = Start();
  EXPECT_TRUE(swapped.Timers().empty());
  EXPECT_NE(log_.lines.back().find("is a link"), std::string::npos) << log_.lines.back();
  swapped.Tick();
  EXPECT_EQ(power_.calls, std::vector<std::string>{kPowerOffCall})
      << "put back unchanged, it is read at the next look and its timer fires";
}

}  // namespace
}  // namespace halcyra
