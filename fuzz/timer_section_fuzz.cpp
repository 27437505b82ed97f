// The [Timer] section through loading, list filling and sorting, and the wake-up due time.
#include <cstdint>
#include <string>

#include "app/app_services.h"
#include "fuzz_input.h"
#include "platform/portable/portable_ini_profile.h"
#include "schedule/timer_list.h"
#include "schedule/wake_up.h"
#include "support/fakes.h"

using namespace halcyra;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  fuzz::WriteSettings("[Timer]\r\n" + std::string(fuzz::Text(data + 3, size - 3)));
  test::FakeOsInfo os;
  os.commonAppData = fuzz::Root().string();
  test::FakeClock clock;
  clock.now = {2026,
               static_cast<std::uint16_t>(1 + data[0] % 12),
               0,
               static_cast<std::uint16_t>(1 + data[1] % 28),
               static_cast<std::uint16_t>(data[2] % 24),
               static_cast<std::uint16_t>(data[2] % 60),
               0,
               0};
  // The day of the week of that date, as the clock would give it.
  clock.now.dayOfWeek =
      static_cast<std::uint16_t>(DecodeDateTime(EncodeDateTime(clock.now)).dayOfWeek);
  test::FakeWakeTimers wake;
  PortableIniProfile ini;
  const SettingsFile file(ini, GetSettingsPath(os), {});
  const auto timers = LoadTimers(file, Policies{}, {os, clock, wake});
  ListView list;
  FillTimerList(list, timers, kTimerSortColumn);
  fuzz::Require(list.rows.size() == timers.size(), "one row per timer");
  for (std::size_t i = 1; i < list.rows.size(); ++i)
    fuzz::Require(LvwTimerCompare(list.rows[i - 1], list.rows[i], kTimerSortColumn) <= 0,
                  "rows in order");
  const double now = EncodeDateTime(clock.now);
  for (const TTimerRecord& record : timers) {
    const auto due = WakeDueTime(clock.now, record.Time, record.Frequency);
    if (!due) continue;
    const double ahead = EncodeDateTime(*due) - now;
    fuzz::Require(ahead > -1.0 / 1440 && ahead <= 7.0 + 1.0 / 1440, "due 0 to 7 days ahead");
  }
  return 0;
}
