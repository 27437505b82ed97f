// The companion service's schedule and command line, with fakes of the machine.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/portable/portable_file_stamps.h"
#include "platform/portable/portable_ini_profile.h"
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
  PortableIniProfile ini_;
  test::FixedRegionalSettings regional_;
  test::FakeClock clock_;
  test::FakeWakeTimers wake_;
  test::FakeSleepSupport sleep_;
  test::FakeSessionWatch sessions_;
  PortableFileStamps stamps_;
  test::FakeServicePower power_;
  PortableTextFiles files_;
  test::FakeSystemLog log_;
  CompanionServices services_{os_,       ini_,    regional_, clock_, wake_, sleep_,
                              sessions_, stamps_, power_,    files_, log_};
  std::optional<CompanionSchedule> schedule_;
};

TEST_F(CompanionScheduleTest, ActsOnlyWhenNobodyIsLoggedOnAndNoTrayProgramRuns) {
  Prepare("[Timer]\r\nnight=enabled,Power off,22:00,Daily\r\n[Log]\r\nEnabled=True\r\n");
  CompanionSchedule& s = Start();
  sessions_.trayRuns = true;
  s.Tick();
  EXPECT_TRUE(power_.calls.empty()) << "the tray program owns the schedule";
  EXPECT_TRUE(log_.lines.empty()) << "and the service stays silent";

  clock_.now.day = 8;  // the next day, the tray program gone, a user logged on
  clock_.now.dayOfWeek = 2;
  sessions_.trayRuns = false;
  sessions_.loggedOn = true;
  s.Tick();
  EXPECT_TRUE(power_.calls.empty()) << "nothing is forced on a user's session";
  ASSERT_EQ(log_.lines.size(), 1u);
  EXPECT_NE(log_.lines[0].find("\"night\""), std::string::npos) << log_.lines[0];
  s.Tick();
  EXPECT_EQ(log_.lines.size(), 1u) << "once per minute";

  clock_.now.day = 9;
  clock_.now.dayOfWeek = 3;
  sessions_.loggedOn = false;
  s.Tick();
  EXPECT_EQ(power_.calls, std::vector<std::string>{kPowerOffCall});
  EXPECT_EQ(sleep_.keepAwake, (std::vector<bool>{true, false})) << "held awake for the action";
  std::ifstream log(LogPath(), std::ios::binary);
  const std::string line((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_EQ(line, "2026-12-09 22:00:05    Power off\r\n") << "the tray program's line";
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
  sleep_.suspendAllowed = false;
  Prepare("[Timer]\r\ndoze=enabled,Suspend,22:00,Daily\r\n");
  Start().Tick();
  EXPECT_EQ(power_.calls, std::vector<std::string>{kHibernateCall}) << "not allowed: no call";
  EXPECT_NE(log_.lines.back().find("did not carry out"), std::string::npos) << log_.lines.back();
}

TEST_F(CompanionScheduleTest, AOnceTimerStaysWhenTheServiceCannotCarryItsActionOut) {
  const std::string entries[] = {"bye=enabled,Log off,22:00,Once", "odd=enabled,Dance,22:00,Once",
                                 "doze=enabled,Suspend,22:00,Once",
                                 "halt=enabled,Shutdown,22:00,Once"};
  sleep_.suspendAllowed = false;
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

}  // namespace
}  // namespace halcyra
