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

TEST_F(PowerActionsTest, NtEditionsTakeThePrivilege) {
  for (const OsVersion v : {OsVersion{5, 1}, OsVersion{4, 0}, OsVersion{6, 0}}) {
    os_.version = v;
    machine_.calls.clear();
    RebootComputer(Services());
    EXPECT_EQ(machine_.calls, (std::vector<std::string>{"privilege", "ExitWindowsEx 6"}));
  }
}

// Windows without the NT kernel is as unknown to this program as a version with no word.
TEST_F(PowerActionsTest, UnknownEditionShowsTheMessageAndCallsNothing) {
  for (const OsVersion v : {OsVersion{3, 51}, OsVersion{4, 10}}) {
    os_.version = v;
    for (auto action : {&PowerOffComputer, &ShutdownWindows, &RebootComputer, &LogOffUser,
                        &HibernateComputer, &SuspendComputer})
      action(Services());
  }
  EXPECT_TRUE(machine_.calls.empty());
  EXPECT_EQ(privilege_.requests, 0);
  ASSERT_EQ(boxes_.shown.size(), 12u);
  EXPECT_EQ(boxes_.shown[0].text, "Halcyra does not support this version of Windows.");
  EXPECT_EQ(boxes_.shown[0].caption, "Halcyra");
  EXPECT_EQ(boxes_.shown[0].style, 0x40u);
}

// The calls Suspend and Hibernate make on each kind of machine; nullopt: the system cannot say.
TEST_F(PowerActionsTest, SleepStatesFollowTheMachinesCapabilities) {
  using Caps = PowerCapabilities;
  const struct {
    const char* machine;
    std::optional<Caps> caps;
    const char* suspend;    // the call, or "" for none
    const char* hibernate;  // the call, or "" for none
  } rows[] = {
      {"S3 only", Caps{.s3 = true}, "SetSystemPowerState 1 1", ""},
      {"S1 and modern standby", Caps{.s1 = true, .aoac = true}, "SetSystemPowerState 1 1", ""},
      {"modern standby only", Caps{.aoac = true}, "SC_MONITORPOWER 2", ""},
      {"neither", Caps{}, "", ""},
      {"S4 without a file", Caps{.s4 = true}, "", ""},
      {"S4 with a reduced file", Caps{.s4 = true, .hiberFile = HiberFile::Reduced}, "", ""},
      {"S4 with a full file", Caps{.s4 = true, .hiberFile = HiberFile::Full}, "",
       "SetSystemPowerState 0 1"},
      {"S4 with a file of no kind said", Caps{.s4 = true, .hiberFile = HiberFile::Present}, "",
       "SetSystemPowerState 0 1"},
      {"a full file without S4", Caps{.hiberFile = HiberFile::Full}, "", ""},
      {"unknown", std::nullopt, "SetSystemPowerState 1 1", "SetSystemPowerState 0 1"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.machine);
    sleep_.capabilities = row.caps;
    for (const auto& [action, call] :
         {std::pair{&SuspendComputer, row.suspend}, std::pair{&HibernateComputer, row.hibernate}}) {
      machine_.calls.clear();
      EXPECT_EQ(action(Services()), *call != '\0');
      std::vector<std::string> expected{"privilege"};
      if (*call) expected.push_back(call);
      EXPECT_EQ(machine_.calls, expected);
    }
  }
}

TEST(PowerCapabilityWords, SetWhatTheyNameAndKeepTheRest) {
  const PowerCapabilities base{.s1 = true, .s4 = true, .hiberFile = HiberFile::Present};
  const PowerCapabilities c = WithCapabilityWords(base, "S1=0 S2=0 S3=0 AoAc=1\r\n");
  EXPECT_FALSE(c.s1 || c.s2 || c.s3);
  EXPECT_TRUE(c.aoac);
  EXPECT_TRUE(c.s4) << "absent: kept";
  EXPECT_EQ(c.hiberFile, HiberFile::Present);
  EXPECT_EQ(WithCapabilityWords(base, "HiberFile=reduced").hiberFile, HiberFile::Reduced);
  EXPECT_EQ(WithCapabilityWords(base, "HiberFile=full S4=0").hiberFile, HiberFile::Full);
  EXPECT_FALSE(WithCapabilityWords(base, "HiberFile=full S4=0").s4);
  const PowerCapabilities odd = WithCapabilityWords(base, "S1=yes HiberFile=big S9=1 S4");
  EXPECT_TRUE(odd.s1 && odd.s4) << "not understood: kept";
  EXPECT_EQ(odd.hiberFile, HiberFile::Present);
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
