// How busy the computer is, as cumulative counters: the processors' times since the start and
// the octets each network interface has moved. A caller takes the differences between two
// samples; nothing here averages or decides.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace halcyra {

// All processors together, in 100-ns units since the start; the kernel time includes the idle
// time, as Windows counts it.
struct ProcessorTimes {
  std::uint64_t idle = 0;
  std::uint64_t kernel = 0;
  std::uint64_t user = 0;
};

// One interface that is up and is neither the loopback nor a tunnel: its counters as the
// system keeps them, which may wrap or start again when the interface is reset.
struct InterfaceOctets {
  std::uint64_t id = 0;  // stable while the interface exists
  std::uint64_t in = 0;
  std::uint64_t out = 0;
};

struct LoadSample {
  std::optional<ProcessorTimes> processors;  // none when the system did not say
  // None when the list could not be read (an empty list is a machine without a network).
  std::optional<std::vector<InterfaceOctets>> interfaces;
};

class SystemLoad {
 public:
  virtual ~SystemLoad() = default;
  virtual LoadSample Sample() = 0;
  // The span over which the quiet rule averages: a minute, shorter only in the end-to-end build.
  virtual std::uint64_t MinuteMilliseconds() const { return 60000; }
};

}  // namespace halcyra
