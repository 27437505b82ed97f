#include "one_off/quiet_rule.h"

#include <utility>

namespace halcyra {

std::uint64_t CounterGrowth(std::uint64_t before, std::uint64_t after) {
  if (after >= before) return after - before;
  constexpr std::uint64_t k32 = std::uint64_t{1} << 32;
  if (before < k32) return after + k32 - before;
  return after;
}

QuietRule::QuietRule(QuietLimits limits, std::uint64_t minuteMs, std::uint64_t tick,
                     LoadSample first)
    : limits_(limits),
      minuteMs_(minuteMs ? minuteMs : 1),
      lastTick_(tick),
      last_(std::move(first)),
      minuteEnd_(tick + minuteMs_) {}

void QuietRule::Observe(std::uint64_t tick, LoadSample sample) {
  if (tick < lastTick_) return;
  Gathered& m = minute_;
  if (last_.processors && sample.processors) {
    const ProcessorTimes& a = *last_.processors;
    const ProcessorTimes& b = *sample.processors;
    // Times only grow; one that went back is no measurement.
    if (b.idle < a.idle || b.kernel < a.kernel || b.user < a.user) {
      m.unmeasured = true;
    } else {
      const std::uint64_t total = (b.kernel - a.kernel) + (b.user - a.user);
      const std::uint64_t idle = b.idle - a.idle;
      m.total += total;
      m.busy += idle < total ? total - idle : 0;
    }
  } else {
    m.unmeasured = true;
  }
  if (last_.interfaces && sample.interfaces) {
    // An interface counts from its second sample on: one that came has no traffic before it,
    // one that went has none after.
    for (const InterfaceOctets& now : *sample.interfaces)
      for (const InterfaceOctets& before : *last_.interfaces)
        if (before.id == now.id)
          m.octets += CounterGrowth(before.in, now.in) + CounterGrowth(before.out, now.out);
  } else {
    m.unmeasured = true;
  }
  m.milliseconds += tick - lastTick_;
  lastTick_ = tick;
  last_ = std::move(sample);
  if (tick >= minuteEnd_) EndMinute(tick);
}

std::optional<LoadFigures> QuietRule::Average(const Gathered& g) {
  if (g.unmeasured || g.total == 0 || g.milliseconds == 0) return std::nullopt;
  return LoadFigures{
      100.0 * static_cast<double>(g.busy) / static_cast<double>(g.total),
      static_cast<double>(g.octets) / 1024.0 * 1000.0 / static_cast<double>(g.milliseconds)};
}

void QuietRule::EndMinute(std::uint64_t tick) {
  const auto figures = Average(minute_);
  const bool quiet = figures && figures->processorPercent < limits_.processorPercent &&
                     figures->networkKBps < limits_.networkKBps;
  quietMinutes_ = quiet ? quietMinutes_ + 1 : 0;
  lastMinute_ = figures;
  ++minutesEnded_;
  minute_ = {};
  // A gap of several minutes without a sample (a computer that slept) is one minute: what
  // happened in it cannot be told apart.
  minuteEnd_ += minuteMs_ * (1 + (tick - minuteEnd_) / minuteMs_);
}

std::optional<LoadFigures> QuietRule::Figures() const {
  return minutesEnded_ > 0 ? lastMinute_ : Average(minute_);
}

}  // namespace halcyra
