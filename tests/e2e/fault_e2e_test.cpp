// A fault that no handler can catch ends the program with one message that names it.
#include <gtest/gtest.h>

#include "driver/driver_win.h"

namespace halcyra::e2e {
namespace {

TEST(FaultE2E, AnAccessViolationIsReportedWithItsCodeBeforeTheEnd) {
  AppProcess probe("fault_probe.exe");
  EXPECT_EQ(AnswerMessageBox(probe, IDOK),
            (BoxSaid{"Halcyra",
                     "Halcyra stopped after an unexpected fault (code 0xC0000005). Start it again "
                     "to keep the schedule running."}))
      << "nothing may end silently";
  const auto code = probe.WaitForExit();
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, 0xC0000005u) << "the process ends with the fault's code";
}

}  // namespace
}  // namespace halcyra::e2e
