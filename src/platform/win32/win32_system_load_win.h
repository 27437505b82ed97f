// How busy the computer is, from Windows: GetSystemTimes for all processors and GetIfTable2 for
// the network interfaces. The interface table's library is loaded at the first sample, so a
// program that never waits for quiet never loads it.
#pragma once

#include <windows.h>

#include <winsock2.h>
#include <ws2ipdef.h>

#include <cstdint>
#include <optional>

#include "platform/system_load.h"
#include "platform/win32/loaded_library_win.h"

namespace halcyra {

class Win32SystemLoad final : public SystemLoad {
 public:
  explicit Win32SystemLoad(std::uint64_t minuteMs = 60000) : minuteMs_(minuteMs) {}
  LoadSample Sample() override;
  std::uint64_t MinuteMilliseconds() const override { return minuteMs_; }

 private:
  std::optional<std::vector<InterfaceOctets>> Interfaces();

  std::uint64_t minuteMs_;
  std::optional<LoadedLibrary> iphlpapi_;
};

}  // namespace halcyra
