// Benchmark: one schedule tick's own work with 1,500 timers, none of them due (the idle case),
// measured on the logic natively. Prints the time per tick; it asserts nothing.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "schedule/timer_schedule.h"

int main() {
  using namespace halcyra;
  std::vector<TTimerRecord> timers;
  for (int i = 0; i < 1500; ++i) {
    TTimerRecord record;
    record.Title = "timer " + std::to_string(i);
    record.Enabled = true;
    record.ShutEvent = "Shutdown";
    record.Time = std::to_string(i % 24) + ":" + std::to_string(i % 60);
    record.Frequency = "Daily";
    timers.push_back(std::move(record));
  }
  const LocalTime now{2026, 12, 1, 7, 12, 30, 0, 0};  // 12:30 matches none of them
  const LocalTime lastHandled{};
  constexpr int kTicks = 20000;
  int found = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kTicks; ++i)
    found += FindDueTimer(timers, now, lastHandled, [] { return 0.0; }).has_value() ? 1 : 0;
  const auto elapsed = std::chrono::steady_clock::now() - start;
  std::printf("1500 timers, none due: %.2f microseconds per tick (%d fired)\n",
              std::chrono::duration<double, std::micro>(elapsed).count() / kTicks, found);
  return 0;
}
