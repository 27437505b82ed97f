#include "platform/win32/win32_system_load_win.h"

#include <iphlpapi.h>

#include <memory>

namespace halcyra {
namespace {

std::uint64_t Count(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Interface types whose traffic is another interface's too, or never leaves the machine.
bool Counted(const MIB_IF_ROW2& row) {
  return row.OperStatus == IfOperStatusUp && row.Type != IF_TYPE_SOFTWARE_LOOPBACK &&
         row.Type != IF_TYPE_TUNNEL && !row.InterfaceAndOperStatusFlags.FilterInterface;
}

}  // namespace

LoadSample Win32SystemLoad::Sample() {
  LoadSample sample;
  FILETIME idle{}, kernel{}, user{};
  if (GetSystemTimes(&idle, &kernel, &user))
    sample.processors = ProcessorTimes{Count(idle), Count(kernel), Count(user)};
  sample.interfaces = Interfaces();
  return sample;
}

std::optional<std::vector<InterfaceOctets>> Win32SystemLoad::Interfaces() {
  if (!iphlpapi_) iphlpapi_.emplace(L"iphlpapi.dll");
  const auto getTable = iphlpapi_->Function<decltype(GetIfTable2)>("GetIfTable2");
  const auto freeTable = iphlpapi_->Function<decltype(FreeMibTable)>("FreeMibTable");
  if (!getTable || !freeTable) return std::nullopt;
  MIB_IF_TABLE2* rows = nullptr;
  if (getTable(&rows) != NO_ERROR || !rows) return std::nullopt;
  // Its one owner: the library's own release, which is known only at run time.
  const std::unique_ptr<MIB_IF_TABLE2, decltype(freeTable)> table(rows, freeTable);
  std::vector<InterfaceOctets> interfaces;
  for (ULONG i = 0; i < table->NumEntries; ++i) {
    const MIB_IF_ROW2& row = table->Table[i];
    if (Counted(row)) interfaces.push_back({row.InterfaceLuid.Value, row.InOctets, row.OutOctets});
  }
  return interfaces;
}

}  // namespace halcyra
