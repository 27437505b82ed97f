#include "actions/power_actions.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace halcyra {
namespace {

class PowerActionsTest : public testing::Test {
 protected:
  PowerActionsTest() { privilege_.journal = &machine_.calls; }
  PowerServices Services() { return {os_, privilege_, machine_, boxes_, sleep_}; }

  test::FakeOsInfo os_;
  test::FakePrivilege privilege_;
  test::FakeSleepSupport sleep_;
  test::RecordingMachineControl machine_;
  test::FakeMessageBoxes boxes_;
};

TEST_F(PowerActionsTest, EachActionMakesItsCall) {
  const struct {
    bool (*action)(const PowerServices&);
    const char* call;
  } rows[] = {{&PowerOffComputer, "ExitWindowsEx 12"},
              {&ShutdownWindows, "ExitWindowsEx 13"},
              {&RebootComputer, "ExitWindowsEx 6"},
              {&LogOffUser, "ExitWindowsEx 4"},
              {&HibernateComputer, "SetSystemPowerState 0 1"},
              {&SuspendComputer, "SetSystemPowerState 1 1"}};
  for (const auto& row : rows) {
    machine_.calls.clear();
    row.action(Services());
    EXPECT_EQ(machine_.calls, (std::vector<std::string>{"privilege", row.call})) << row.call;
  }
  EXPECT_EQ(privilege_.requests, 6) << "asked before every call, also when already enabled";
  EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(PowerActionsTest, NtEditionsTakeThePrivilegeWin9xDoesNot) {
  for (const OsVersion v : {OsVersion{5, 1}, OsVersion{4, 0}, OsVersion{6, 0}}) {
    os_.version = v;
    machine_.calls.clear();
    RebootComputer(Services());
    EXPECT_EQ(machine_.calls, (std::vector<std::string>{"privilege", "ExitWindowsEx 6"}));
  }
  os_.version = {4, 10};
  machine_.calls.clear();
  const int before = privilege_.requests;
  SuspendComputer(Services());
  EXPECT_EQ(machine_.calls, std::vector<std::string>{"SetSystemPowerState 1 1"});
  EXPECT_EQ(privilege_.requests, before) << "no token on Win9x";
}

TEST_F(PowerActionsTest, UnknownEditionShowsTheMessageAndCallsNothing) {
  os_.version = {3, 51};
  for (auto action : {&PowerOffComputer, &ShutdownWindows, &RebootComputer, &LogOffUser,
                      &HibernateComputer, &SuspendComputer})
    action(Services());
  EXPECT_TRUE(machine_.calls.empty());
  ASSERT_EQ(boxes_.shown.size(), 6u);
  EXPECT_EQ(boxes_.shown[0].text, "Halcyra does not support this version of Windows.");
  EXPECT_EQ(boxes_.shown[0].caption, "Halcyra");
  EXPECT_EQ(boxes_.shown[0].style, 0x40u);
}

TEST_F(PowerActionsTest, TheResultSaysWhetherWindowsAccepted) {
  EXPECT_TRUE(RebootComputer(Services()));
  machine_.accept = false;
  EXPECT_FALSE(RebootComputer(Services()));
  machine_.accept = true;
  os_.version = {3, 51};
  EXPECT_FALSE(RebootComputer(Services())) << "not supported";
}

}  // namespace
}  // namespace halcyra
