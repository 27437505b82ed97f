// The companion service reading a settings file of arbitrary bytes: its start, a change and a
// tick, with nobody logged on, so that every due timer is carried out (into fakes).
#include <cstdint>

#include "fuzz_input.h"
#include "platform/portable/portable_file_stamps.h"
#include "platform/portable/portable_ini_profile.h"
#include "platform/portable/portable_text_files.h"
#include "service/companion_schedule.h"
#include "support/fakes.h"

using namespace halcyra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  fuzz::WriteSettings(fuzz::Text(data + 2, size - 2));
  test::FakeOsInfo os;
  os.commonAppData = fuzz::Root().string();
  PortableIniProfile ini;
  test::FixedRegionalSettings regional;
  regional.format = fuzz::Regional(data[0]);
  test::FakeClock clock;
  clock.now = {2026,
               12,
               1,
               7,
               static_cast<std::uint16_t>(data[1] % 24),
               static_cast<std::uint16_t>(data[1] % 60),
               0,
               0};
  test::FakeWakeTimers wake;
  test::FakeSleepSupport sleep;
  test::FakeSessionList sessions;
  test::FakeFileInspector inspector;
  PortableFileStamps stamps;
  test::FakeServicePower power;
  PortableTextFiles files;
  test::FakeSystemLog log;
  test::FakePolicyStore policyStore;
  PolicyWatch policies(policyStore, log, PolicyReach::MachineOnly);
  CompanionSchedule schedule({os, ini, regional, clock, wake, sleep, sessions, inspector, stamps,
                              power, files, log, policies});
  schedule.Start();
  schedule.Tick();
  schedule.Tick();
  fuzz::Require(power.calls.size() <= 1, "one action per minute");
  fuzz::Require(sleep.keepAwake.size() % 2 == 0, "every hold on the machine is let go");
  schedule.Stop();
  fuzz::Require(wake.Live() == 0, "no wake-up timer outlives the service");
  return 0;
}
