// How busy the computer is, from a Linux kernel's /proc: the processors' times of the "cpu" line
// of /proc/stat and the octets of each interface in /proc/net/dev (without the loopback). The
// native builds' counterpart of the Windows sampler; the parsers take the files' text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/system_load.h"

namespace halcyra {

// The all-processor "cpu" line, in 100-ns units as Windows counts them: the kernel time holds
// the idle time (and the time waiting for input and output, when nothing else ran).
std::optional<ProcessorTimes> ParseProcStat(std::string_view text, long ticksPerSecond);
// Each interface but "lo", its name's hash as its id.
std::optional<std::vector<InterfaceOctets>> ParseProcNetDev(std::string_view text);

class ProcSystemLoad final : public SystemLoad {
 public:
  // `root`: the folder that holds "stat" and "net/dev"; `ticksPerSecond`: the unit of its times
  // (USER_HZ, 100 on every architecture Linux runs on today).
  explicit ProcSystemLoad(std::string root = "/proc", long ticksPerSecond = 100)
      : root_(std::move(root)), ticksPerSecond_(ticksPerSecond) {}
  LoadSample Sample() override;

 private:
  std::string root_;
  long ticksPerSecond_;
};

}  // namespace halcyra
