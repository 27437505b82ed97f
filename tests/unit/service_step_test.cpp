#include "ui/service_step.h"

#include <gtest/gtest.h>

#include "unit/main_form_fixture.h"

namespace halcyra {
namespace {

TEST(ServiceStep, RestartsOnTheNtFamilyOnly) {
  for (const char* edition : {"NewWinNT", "OldWinNt", "Vista"}) {
    test::FakeServiceControl service;
    RunServiceStep(edition, false, service);
    EXPECT_EQ(service.calls, (std::vector<std::string>{"stop", "pause 1000", "start"})) << edition;
  }
  for (const char* edition : {"Win9x", ""}) {
    test::FakeServiceControl service;
    RunServiceStep(edition, false, service);
    EXPECT_TRUE(service.calls.empty()) << edition;
  }
}

TEST(ServiceStep, TheFirstStartOnVistaOnlyStops) {
  test::FakeServiceControl service;
  RunServiceStep("Vista", true, service);
  EXPECT_EQ(service.calls, std::vector<std::string>{"stop"});
}

class OkServiceStepTest : public test::MainFormTest {};

TEST_F(OkServiceStepTest, RunsAfterEveryOkThatPassedItsChecksEvenAFailedSave) {
  TFrmMain& f = Create();
  f.BtnOKClick();
  EXPECT_EQ(service_.calls, (std::vector<std::string>{"stop", "pause 1000", "start"}));
  service_.calls.clear();
  ini_.refuseWrites = true;
  f.BtnOKClick();
  EXPECT_EQ(service_.calls, (std::vector<std::string>{"stop", "pause 1000", "start"}));
  service_.calls.clear();
  ini_.refuseWrites = false;
  f.ChangePage(MainPage::Password);
  f.ChkPassword.Click();
  f.BtnOKClick();
  EXPECT_TRUE(service_.calls.empty()) << "a failed check stops OK before the step";
}

}  // namespace
}  // namespace halcyra
