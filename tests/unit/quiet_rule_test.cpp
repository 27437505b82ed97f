// When the computer counts as quiet: minute averages from cumulative counters.
#include "one_off/quiet_rule.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/portable/proc_system_load.h"
#include "support/temp_folder.h"

namespace halcyra {
namespace {

constexpr std::uint64_t kMinute = 60000;
// 100-ns units of processor time in a minute, for each of two processors.
constexpr std::uint64_t kProcessorMinute = 2 * 60 * 10000000ULL;

// Counters that grow as a test says: each Advance is one sample a minute later.
struct Machine {
  ProcessorTimes times;
  std::vector<InterfaceOctets> interfaces{{7, 0, 0}};
  std::uint64_t tick = 0;
  LoadSample Sample() const { return {times, interfaces}; }
  // One minute of this much processor use and traffic on the first interface.
  LoadSample Advance(double percent, std::uint64_t octets, std::uint64_t ms = kMinute) {
    // The tick moves with the counters: a caller reads m.tick after this call.
    const auto busy = static_cast<std::uint64_t>(kProcessorMinute * percent / 100);
    times.idle += kProcessorMinute - busy;
    times.kernel += kProcessorMinute - busy + busy / 2;  // the kernel time holds the idle time
    times.user += busy - busy / 2;
    if (!interfaces.empty()) interfaces[0].in += octets;
    tick += ms;
    return Sample();
  }
};

TEST(QuietRule, CountsWholeQuietMinutesInARowFromTheAveragesOfEachMinute) {
  Machine m;
  QuietRule rule({3, 10, 10}, kMinute, m.tick, m.Sample());
  const auto feed = [&](double percent, std::uint64_t octets, std::uint64_t ms = kMinute) {
    LoadSample sample = m.Advance(percent, octets, ms);
    rule.Observe(m.tick, std::move(sample));
  };
  EXPECT_FALSE(rule.Figures()) << "nothing measured at arrival";
  feed(4, 512, 30000);
  ASSERT_TRUE(rule.Figures()) << "the part of the first minute gone by";
  EXPECT_NEAR(rule.Figures()->processorPercent, 4, 0.01);
  EXPECT_EQ(rule.QuietMinutes(), 0u) << "the minute has not ended";
  feed(4, 512, 30000);
  EXPECT_EQ(rule.QuietMinutes(), 1u);
  EXPECT_NEAR(rule.Figures()->networkKBps, 1024.0 / 1024 / 60, 0.001);

  // A busy minute (processor or network) starts the count again.
  feed(10, 0);
  EXPECT_EQ(rule.QuietMinutes(), 0u) << "10 % is not below 10 %";
  feed(2, 0);
  feed(2, 10 * 1024 * 60);
  EXPECT_EQ(rule.QuietMinutes(), 0u) << "10 KB/s is not below 10 KB/s";
  EXPECT_NEAR(rule.Figures()->networkKBps, 10, 0.001);
  for (int minute = 1; minute <= 3; ++minute) {
    EXPECT_FALSE(rule.Quiet());
    feed(9.9, 9 * 1024 * 60);
    EXPECT_EQ(rule.QuietMinutes(), static_cast<unsigned>(minute));
  }
  EXPECT_TRUE(rule.Quiet());
  EXPECT_EQ(rule.MinutesEnded(), 7u);

  // A minute that could not be measured is no quiet one.
  LoadSample blind = m.Advance(0, 0);
  blind.processors.reset();
  rule.Observe(m.tick, blind);
  EXPECT_EQ(rule.QuietMinutes(), 0u);
  EXPECT_FALSE(rule.Figures());
}

TEST(QuietRule, CountersThatWrapOrInterfacesThatComeAndGoAddNoPhantomTraffic) {
  EXPECT_EQ(CounterGrowth(100, 250), 150u);
  EXPECT_EQ(CounterGrowth(0xFFFFFF00ULL, 0x100), 0x200u) << "a 32-bit counter wrapped";
  EXPECT_EQ(CounterGrowth(0x500000000ULL, 0x300), 0x300u) << "a 64-bit counter was reset";

  Machine m;
  m.interfaces = {{7, 0xFFFFFF00ULL, 5}, {9, 1000, 1000}};
  QuietRule rule({1, 10, 10}, kMinute, m.tick, m.Sample());
  m.interfaces[0].in = 0x100;                            // wrapped: 512 octets
  m.interfaces.erase(m.interfaces.begin() + 1);          // the second one went
  m.interfaces.push_back({11, 1ULL << 40, 1ULL << 40});  // a new one came, with its history
  rule.Observe(60000, {m.times, m.interfaces});
  // No processor time passed in this made-up minute: it cannot be judged.
  EXPECT_FALSE(rule.Quiet());
  m.tick = 60000;
  m.interfaces[1].out += 2048;  // counted from its first sample on
  rule.Observe(120000, m.Advance(1, 0));
  ASSERT_TRUE(rule.Figures());
  EXPECT_NEAR(rule.Figures()->networkKBps, 2.0 / 60, 0.0001);
  EXPECT_TRUE(rule.Quiet());

  // A list that could not be read is no measurement either, nor is an empty one a failure.
  rule.Observe(180000, {m.Advance(1, 0).processors, std::nullopt});
  EXPECT_FALSE(rule.Quiet());
  m.interfaces.clear();
  rule.Observe(240000, m.Advance(1, 0));
  rule.Observe(300000, m.Advance(1, 0));
  EXPECT_TRUE(rule.Quiet()) << "a machine without a network is quiet on the network";
}

// The native sampler reads what the quiet rule needs from Linux's /proc, as the Windows one
// reads it from Windows: the kernel time holding the idle time, the loopback left out.
TEST(ProcSystemLoad, ReadsTheProcessorLineAndTheInterfacesButTheLoopback) {
  const auto times =
      ParseProcStat("cpu  100 5 40 800 20 3 2 0 0 0\ncpu0 50 2 20 400 10 1 1 0\n", 100);
  ASSERT_TRUE(times);
  EXPECT_EQ(times->idle, 820 * 100000ULL) << "idle and waiting for input and output";
  EXPECT_EQ(times->kernel, (820 + 45) * 100000ULL);
  EXPECT_EQ(times->user, 105 * 100000ULL);
  EXPECT_FALSE(ParseProcStat("intr 5\n", 100));

  const auto interfaces = ParseProcNetDev(
      "Inter-|   Receive                                                |  Transmit\n"
      " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets\n"
      "    lo: 9000 10 0 0 0 0 0 0 9000 10 0 0 0 0 0 0\n"
      "  eth0: 1500 10 0 0 0 0 0 0 2500 20 0 0 0 0 0 0\n");
  ASSERT_TRUE(interfaces);
  ASSERT_EQ(interfaces->size(), 1u);
  EXPECT_EQ((*interfaces)[0].in, 1500u);
  EXPECT_EQ((*interfaces)[0].out, 2500u);
  EXPECT_FALSE(ParseProcNetDev("  eth0: 1500 10\n")) << "a cut line";
  // The files of a folder laid out as /proc is.
  const test::TempFolder proc;
  std::filesystem::create_directories(proc.Path() / "net");
  proc.WriteFile("stat", "cpu  1 0 1 8 0 0 0\n");
  proc.WriteFile("net/dev", "  eth0: 1 0 0 0 0 0 0 0 2 0 0 0 0 0 0 0\n");
  const LoadSample sample = ProcSystemLoad(proc.Path().string()).Sample();
  EXPECT_EQ(sample.processors->idle, 800000u);
  EXPECT_EQ(sample.interfaces->size(), 1u);
  const LoadSample none = ProcSystemLoad((proc.Path() / "gone").string()).Sample();
  EXPECT_FALSE(none.processors || none.interfaces) << "nothing to read is no measurement";
}

}  // namespace
}  // namespace halcyra
