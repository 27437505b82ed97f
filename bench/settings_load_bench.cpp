// Benchmark: the portable settings layer loading a [Timer] section of 100,000 entries the way
// the program does (the key list, then every value) and filling the timer list. Prints the
// figures; it asserts nothing.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/settings_file.h"
#include "platform/portable/portable_ini_profile.h"
#include "schedule/timer_list.h"
#include "schedule/timer_record.h"

int main(int argc, char** argv) {
  using namespace halcyra;
  using Clock = std::chrono::steady_clock;
  const int count = argc > 1 ? std::stoi(argv[1]) : 100000;
  const auto path = std::filesystem::temp_directory_path() / "halcyra-bench.ini";
  {
    std::ofstream out(path, std::ios::binary);
    out << "[general]\r\nFirstStartDone=True\r\n[Timer]\r\n";
    for (int i = 0; i < count; ++i)
      out << "timer " << i << "=enabled,Shutdown," << (i % 24) << ":" << (i % 60) << ",Daily\r\n";
  }
  PortableIniProfile ini;
  const SettingsFile file(ini, path.string(), {});
  const auto start = Clock::now();
  std::vector<TTimerRecord> timers;
  for (const std::string& line : file.ReadSectionValues(kTimerSection))
    timers.push_back(ParseTimerEntry(line));
  const auto loaded = Clock::now();
  ListView list;
  FillTimerList(list, timers, kTimerSortColumn);
  const auto filled = Clock::now();
  const auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
  std::printf(
      "%d entries in the file, %zu within the 16 KB key list: load %.1f ms, list fill %.1f ms\n",
      count, timers.size(), ms(loaded - start), ms(filled - loaded));
  std::filesystem::remove(path);
  return 0;
}
