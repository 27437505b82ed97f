// An organisation's policies over the settings file: their precedence, what a value that is not
// understood does, and what each one makes of the main window, the schedule and the hotkeys.
#include "app/policies.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "one_off/one_off_commands.h"
#include "unit/main_form_fixture.h"

namespace halcyra {
namespace {

constexpr PolicyScope kMachine = PolicyScope::Machine;
constexpr PolicyScope kUser = PolicyScope::User;
constexpr const char* kTimersKey = "Software\\Policies\\Halcyra\\Timers";

TEST(Policies, TheMachineWinsOverTheUserAndWhatIsNotUnderstoodIsSaidOnce) {
  test::FakePolicyStore store;
  store.SetNumber(kMachine, "EnableAbort", 0);
  store.SetNumber(kUser, "EnableAbort", 1);
  store.SetNumber(kUser, "disableexit", 1);  // names compare as the registry's do
  store.SetNumber(kUser, "MinimumCountdown", 86400);
  store.SetNumber(kMachine, "DisableHotkeys", 2);
  store.SetNumber(kUser, "DisableHotkeys", 1);
  store.SetNumber(kMachine, "DisableOneOffs", 0);
  store.SetNumber(kUser, "DisableOneOffs", 1);
  store.SetText(kMachine, "LogEnabled", "1");
  store.SetNumber(kMachine, "MinimumCountdown", 86401);
  store.SetText(kMachine, "Lab", "enabled,Power off,22:00,Daily", kTimersKey);
  store.SetText(kUser, "LAB", "enabled,Reboot,21:00,Daily", kTimersKey);
  store.SetText(kUser, "Mine", "enabled,Hibernate,23:00,Weekday", kTimersKey);
  store.SetText(kUser, "Soon", "enabled,Reboot,21:00,Once", kTimersKey);
  store.SetNumber(kUser, "Bad", 1, kTimersKey);
  store.SetText(kUser, "Short", "enabled,Reboot,21:00", kTimersKey);

  test::FakeSystemLog log;
  PolicyWatch watch(store, log, PolicyReach::MachineAndUser);
  const Policies& p = watch.Current();
  EXPECT_EQ(p.enableAbort, false);
  EXPECT_TRUE(p.disableExit);
  EXPECT_EQ(p.minimumCountdown, 86400) << "the machine's is out of range: the user's holds";
  EXPECT_TRUE(p.disableHotkeys) << "the machine's is not understood: the user's holds";
  EXPECT_FALSE(p.disableOneOffs);
  EXPECT_EQ(p.logEnabled, std::nullopt);
  EXPECT_EQ(p.timers, (std::vector<std::string>{"Lab=enabled,Power off,22:00,Daily",
                                                "Mine=enabled,Hibernate,23:00,Weekday"}));
  const std::string machine = " in HKEY_LOCAL_MACHINE\\Software\\Policies\\Halcyra is ignored: ";
  const std::string user = " in HKEY_CURRENT_USER\\Software\\Policies\\Halcyra is ignored: ";
  EXPECT_EQ(
      log.lines,
      (std::vector<std::string>{
          "13 The policy \"DisableHotkeys\"" + machine + "it must be 0 or 1.",
          "13 The policy \"LogEnabled\"" + machine + "it is not a REG_DWORD.",
          "13 The policy \"MinimumCountdown\"" + machine + "it must be from 0 to 86400 seconds.",
          "13 The policy \"Timers\\Soon\"" + user +
              "a policy's timer cannot be taken out once it has fired, so it cannot be a "
              "once-only timer.",
          "13 The policy \"Timers\\Bad\"" + user + "it is not a REG_SZ.",
          "13 The policy \"Timers\\Short\"" + user +
              "it is not a timer such as \"enabled,Power off,22:00,Daily\"."}));

  EXPECT_FALSE(watch.Refresh()) << "nothing changed";
  EXPECT_EQ(log.lines.size(), 6u) << "each said once while it stays";
  store.keys.clear();
  EXPECT_TRUE(watch.Refresh());
  EXPECT_EQ(watch.Current(), Policies{});
  PolicyWatch service(store, log, PolicyReach::MachineOnly);
  store.SetNumber(kUser, "DisableUserTimers", 1);
  EXPECT_FALSE(service.Refresh()) << "the service obeys the machine's only";
}

class PolicyFormTest : public test::MainFormTest {
 protected:
  void Set(const char* name, std::uint32_t value) { policyStore_.SetNumber(kMachine, name, value); }
  void At(int hour, int minute) {
    clock_.now = DecodeDateTime(static_cast<double>(DaysFromCivil(2026, 12, 7)));  // a Monday
    clock_.now.hour = static_cast<std::uint16_t>(hour);
    clock_.now.minute = static_cast<std::uint16_t>(minute);
    clock_.now.second = 10;
  }
};

TEST_F(PolicyFormTest, PolicyTimersAreListedAsManagedFireAndOutliveTheUsersTimers) {
  Prepare(
      "[general]\r\nDuration=5\r\n[Timer]\r\nlab=enabled,Reboot,09:30,Daily\r\n"
      "mine=enabled,Hibernate,09:40,Daily\r\n");
  policyStore_.SetText(kMachine, "Lab", "enabled,Power off,09:30,Daily", kTimersKey);
  policyStore_.SetText(kMachine, "off", "disabled,Shutdown,09:35,Daily", kTimersKey);
  policies_.Refresh();
  At(9, 29);
  TFrmMain& f = Create();
  const auto status = [&f] {
    std::vector<std::string> rows;
    for (const ListRow& row : f.LvwTimer.rows) rows.push_back(row.caption + " " + row.subItems[0]);
    std::sort(rows.begin(), rows.end());
    return rows;
  };
  EXPECT_EQ(status(),
            (std::vector<std::string>{"Lab Managed", "mine Enabled", "off Disabled (managed)"}))
      << "the file's \"lab\" is the policy's";
  EXPECT_EQ(f.LblManagedTimers.caption, "Some settings are managed by your organization.");

  const std::string ini = Raw();
  for (ListRow& row : f.LvwTimer.rows) row.selected = row.caption == "Lab";
  f.BtnEditClick();
  f.BtnDeleteClick();
  ASSERT_EQ(boxes_.shown.size(), 2u) << "no editor, no question";
  EXPECT_EQ(boxes_.shown[1].text,
            "This timer is managed by your organization and cannot be changed or deleted here.");
  EXPECT_EQ(Raw(), ini);

  At(9, 30);
  program_->Schedule.Timer1Timer();
  EXPECT_EQ(host_.countdowns, std::vector<std::string>{"Power off"});
  host_.countdown->AbortRequested = true;
  while (program_->Schedule.Firing()) {
    clock_.tick64 += 250;
    program_->Schedule.Timer1Timer();
  }

  Set("DisableUserTimers", 1);
  ASSERT_TRUE(program_->PoliciesChanged());
  program_->Schedule.Timer1Timer();
  EXPECT_FALSE(f.BtnAdd.enabled);
  EXPECT_EQ(status(), (std::vector<std::string>{"Lab Managed", "off Disabled (managed)"}));
  At(9, 40);
  program_->Schedule.Timer1Timer();
  EXPECT_FALSE(program_->Schedule.Firing()) << "the user's timer is off";
  EXPECT_EQ(Raw(), ini) << "nothing of the policy's in the file";
}

TEST_F(PolicyFormTest, ForcedSettingsShowDisabledWhileTheFileKeepsTheUsersOwn) {
  Prepare(
      "[general]\r\nDuration=5\r\nEnableAbort=false\r\n[Hotkeys]\r\nPowerdown=Ctrl+Alt+P\r\n"
      "[Log]\r\nEnabled=false\r\n");
  Set("EnableAbort", 1);
  Set("MinimumCountdown", 30);
  Set("LogEnabled", 1);
  Set("DisableHotkeys", 1);
  Set("DisableOneOffs", 1);
  policies_.Refresh();
  At(9, 0);
  TFrmMain& f = Create();
  EXPECT_TRUE(f.ChkAbort.Checked());
  EXPECT_FALSE(f.ChkAbort.enabled);
  EXPECT_EQ(f.SpinDuration.text, "30");
  EXPECT_TRUE(f.ChkEnableLog.Checked());
  EXPECT_FALSE(f.ChkEnableLog.enabled);
  EXPECT_FALSE(f.EdtPowerdown.enabled);
  EXPECT_EQ(f.LblManagedHotkeys.caption, "Some settings are managed by your organization.");
  EXPECT_EQ(f.LblManagedLog.caption, f.LblManagedHotkeys.caption);
  EXPECT_EQ(hotkeys_.calls, std::vector<std::string>{}) << "none registered";
  EXPECT_EQ(program_->OneOffCommand("do\nevent=Reboot\nin=0\n"),
            "refused\nOne-off actions are turned off by your organization's policy.");

  f.BtnOKClick();
  EXPECT_EQ(Read("general", "Duration"), "5");
  EXPECT_EQ(Read("general", "EnableAbort"), "false");
  EXPECT_EQ(Read("Log", "Enabled"), "false");

  // The count of a timer: at least the minimum, Abort on, the log line written.
  Prepare(Raw() + "[Timer]\r\nt=enabled,Suspend,09:01,Daily\r\n");
  program_->Schedule.ReloadTimers();
  At(9, 1);
  program_->Schedule.Timer1Timer();
  ASSERT_NE(host_.countdown, nullptr);
  clock_.tick64 += 100;
  program_->Schedule.Timer1Timer();
  EXPECT_TRUE(host_.countdown->BtnAbort.enabled);
  EXPECT_NE(host_.countdown->LblNotify.caption.find(" in 30 seconds"), std::string::npos)
      << host_.countdown->LblNotify.caption;
  while (program_->Schedule.Firing() && program_->Schedule.Running()) {
    clock_.tick64 += 250;
    program_->Schedule.Timer1Timer();
  }
  host_.RunPosted();
  std::ifstream log(*os_.commonAppData + "\\Halcyra\\Log.txt", std::ios::binary);
  const std::string logged((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_NE(logged.find("Suspend"), std::string::npos) << "the policy turns the log on";

  // Lifted: the user's own values come back and the hotkeys are registered; a minimum alone
  // puts a hotkey through the countdown.
  policyStore_.keys.clear();
  Set("MinimumCountdown", 10);
  ASSERT_TRUE(program_->PoliciesChanged());
  EXPECT_FALSE(f.ChkAbort.Checked());
  EXPECT_TRUE(f.ChkAbort.enabled);
  EXPECT_EQ(f.SpinDuration.text, "10");
  EXPECT_FALSE(f.ChkEnableLog.Checked());
  EXPECT_EQ(f.LblManagedHotkeys.caption, "");
  ASSERT_EQ(hotkeys_.calls.size(), 2u);
  EXPECT_EQ(hotkeys_.calls[1].rfind("register 49152 ", 0), 0u) << hotkeys_.calls[1];
  program_->HandleHotkey(0xC000);
  EXPECT_TRUE(program_->Schedule.Firing());
  EXPECT_EQ(host_.countdowns.back(), "Power off");
}

}  // namespace
}  // namespace halcyra
