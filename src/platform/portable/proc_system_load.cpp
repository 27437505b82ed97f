#include "platform/portable/proc_system_load.h"

#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

namespace halcyra {
namespace {

std::optional<std::string> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::optional<ProcessorTimes> ParseProcStat(std::string_view text, long ticksPerSecond) {
  if (text.substr(0, 4) != "cpu " || ticksPerSecond <= 0) return std::nullopt;
  std::istringstream line(std::string(text.substr(4, text.find('\n') - 4)));
  unsigned long long user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0;
  if (!(line >> user >> nice >> system >> idle)) return std::nullopt;
  // Older kernels end the line after the idle time.
  line >> iowait >> irq >> softirq;
  const std::uint64_t unit = 10000000ULL / static_cast<std::uint64_t>(ticksPerSecond);
  const std::uint64_t waiting = (idle + iowait) * unit;
  return ProcessorTimes{waiting, waiting + (system + irq + softirq) * unit, (user + nice) * unit};
}

std::optional<std::vector<InterfaceOctets>> ParseProcNetDev(std::string_view text) {
  std::vector<InterfaceOctets> interfaces;
  std::istringstream lines{std::string(text)};
  bool any = false;
  for (std::string line; std::getline(lines, line);) {
    const size_t colon = line.find(':');
    // The two heading lines hold "|", not ":".
    if (colon == std::string::npos) continue;
    any = true;
    const size_t first = line.find_first_not_of(' ');
    const std::string name = line.substr(first, colon - first);
    std::istringstream numbers(line.substr(colon + 1));
    unsigned long long fields[9] = {};
    for (unsigned long long& field : fields)
      if (!(numbers >> field)) return std::nullopt;
    if (name == "lo") continue;
    interfaces.push_back({std::hash<std::string>{}(name), fields[0], fields[8]});
  }
  if (!any && text.find('|') == std::string_view::npos) return std::nullopt;
  return interfaces;
}

LoadSample ProcSystemLoad::Sample() {
  LoadSample sample;
  if (const auto stat = ReadAll(root_ + "/stat"))
    sample.processors = ParseProcStat(*stat, ticksPerSecond_);
  if (const auto dev = ReadAll(root_ + "/net/dev")) sample.interfaces = ParseProcNetDev(*dev);
  return sample;
}

}  // namespace halcyra
