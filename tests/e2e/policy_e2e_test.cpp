// An organisation's policies, written to the registry as Group Policy writes them and announced
// as it announces them: the running program follows them at once.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "driver/driver_win.h"
#include "ui/main_window_ids.h"

namespace halcyra::e2e {
namespace {

namespace ids = main_ids;
using namespace std::chrono_literals;

constexpr const char* kPolicies = "Software\\Policies\\Halcyra";
constexpr const char* kManaged = "Some settings are managed by your organization.";

class PolicyE2E : public testing::Test {
 protected:
  void SetUp() override {
    RemovePolicies();
    RemoveFile(DataFile("Effects.txt"));
  }
  void TearDown() override {
    app_.reset();
    RemovePolicies();
    RemoveFile(DataFile("ClockOffset.txt"));
  }
  static void RemovePolicies() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPolicies);
    RegDeleteTreeA(HKEY_CURRENT_USER, kPolicies);
  }
  static void Set(HKEY root, const std::string& key, const char* name, DWORD type, const void* data,
                  DWORD size) {
    HKEY opened = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(opened, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(opened);
  }
  static void SetNumber(HKEY root, const char* name, DWORD value) {
    Set(root, kPolicies, name, REG_DWORD, &value, sizeof value);
  }
  static void SetTimer(const char* title, const std::string& entry) {
    Set(HKEY_LOCAL_MACHINE, std::string(kPolicies) + "\\Timers", title, REG_SZ, entry.c_str(),
        static_cast<DWORD>(entry.size() + 1));
  }
  // What Group Policy sends every top-level window once it has applied the policies.
  static void AnnouncePolicies(HWND main) {
    SendMessageTimeoutW(main, WM_SETTINGCHANGE, 1, reinterpret_cast<LPARAM>(L"Policy"), SMTO_BLOCK,
                        5000, nullptr);
  }
  static bool Effected(const std::string& text) {
    return ReadFileText(DataFile("Effects.txt")).find(text) != std::string::npos;
  }
  static std::size_t Suspends() {
    const std::string effects = ReadFileText(DataFile("Effects.txt"));
    std::size_t count = 0;
    for (std::size_t at = effects.find(kSuspend); at != std::string::npos;
         at = effects.find(kSuspend, at + 1))
      ++count;
    return count;
  }
  static constexpr const char* kSuspend = "SetSystemPowerState 1 1\r\n";

  std::optional<AppProcess> app_;
};

// "hh:mm" that many minutes after the given one.
std::string Later(const std::string& time, int minutes) {
  const int total =
      (std::stoi(time.substr(0, 2)) * 60 + std::stoi(time.substr(3)) + minutes) % (24 * 60);
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", total / 60, total % 60);
  return text;
}

TEST_F(PolicyE2E, PoliciesAnnouncedToTheRunningProgramRuleItsWindowHalcyraCmdAndItsTimers) {
  const std::string minute = ThisMinute();
  WriteFileText(DataFile("ClockOffset.txt"), "0");
  WriteFileText(DataFile("Halcyra.ini"),
                "[general]\r\nFirstStartDone=True\r\nDuration=0\r\n[Timer]\r\nfirst=enabled,"
                "Suspend," +
                    minute + ",Daily\r\nmine=enabled,Suspend," + Later(minute, 2) + ",Daily\r\n");
  app_.emplace();
  HWND main = ShowMainWindow(*app_);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([] { return Effected("SetSystemPowerState 1 1\r\n"); }, 5s));
  EXPECT_TRUE(IsWindowEnabled(Control(main, ids::kChkAbort)));

  SetNumber(HKEY_LOCAL_MACHINE, "EnableAbort", 1);
  SetNumber(HKEY_LOCAL_MACHINE, "DisableUserTimers", 1);
  SetNumber(HKEY_CURRENT_USER, "DisableOneOffs", 1);
  SetTimer("Lab", "enabled,Hibernate," + Later(minute, 1) + ",Daily");
  SetTimer("Too", "enabled,Reboot," + Later(minute, 1) + ",Once");
  WriteFileText(DataFile("ClockOffset.txt"), "60");
  AnnouncePolicies(main);

  EXPECT_FALSE(IsWindowEnabled(Control(main, ids::kChkAbort)));
  EXPECT_TRUE(IsChecked(Control(main, ids::kChkAbort)));
  EXPECT_EQ(WindowText(Control(main, ids::kLblManagedGeneral)), kManaged);
  EXPECT_TRUE(WaitUntil([] { return Effected("SetSystemPowerState 0 1\r\n"); }, 5s))
      << "the policy's timer fired in its minute";
  EXPECT_EQ(ListViewRows(Control(main, ids::kLvwTimer), 2),
            (std::vector<std::vector<std::string>>{{"Lab", "Managed"}}))
      << "the user's timers are off, a once-only one refused";
  EXPECT_TRUE(
      Effected("ReportEvent 13 The policy \"Timers\\Too\" in "
               "HKEY_LOCAL_MACHINE\\Software\\Policies\\Halcyra is ignored: "));

  const CmdResult refused = Cmd("/do Reboot /in 0");
  EXPECT_EQ(refused.code, 6u);
  EXPECT_EQ(refused.err,
            "ERROR: One-off actions are turned off by your organization's policy.\r\n");

  // A timer added later shows in the open window although nothing fires.
  SetTimer("Later", "enabled,Reboot," + Later(minute, 30) + ",Daily");
  AnnouncePolicies(main);
  EXPECT_TRUE(
      WaitUntil([main] { return ListViewRows(Control(main, ids::kLvwTimer), 1).size() == 2; }, 3s));

  // The user's timer's minute, looked at at once: nothing fires.
  WriteFileText(DataFile("ClockOffset.txt"), "120");
  const unsigned long before = ScheduleTicks(main);
  PostMessageA(main, WM_TIMECHANGE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return ScheduleTicks(main) > before; }, 3s));
  EXPECT_EQ(Suspends(), 1u);

  // Lifted: Abort is the user's own again, and the user's timer fires in its minute.
  RemovePolicies();
  AnnouncePolicies(main);
  EXPECT_TRUE(IsWindowEnabled(Control(main, ids::kChkAbort)));
  EXPECT_FALSE(IsChecked(Control(main, ids::kChkAbort)));
  EXPECT_EQ(WindowText(Control(main, ids::kLblManagedGeneral)), "");
  EXPECT_TRUE(WaitUntil([] { return Suspends() == 2; }, 5s));

  // Another program adds a timer to the file: the open window lists it though nothing fires.
  WriteFileText(DataFile("Halcyra.ini"),
                "[general]\r\nFirstStartDone=True\r\nDuration=0\r\n[Timer]\r\nfar=enabled,Reboot," +
                    Later(minute, 40) + ",Daily\r\n");
  EXPECT_TRUE(WaitUntil(
      [main] {
        return ListViewRows(Control(main, ids::kLvwTimer), 1) ==
               std::vector<std::vector<std::string>>{{"far"}};
      },
      5s));
}

}  // namespace
}  // namespace halcyra::e2e
