#include "platform/win32/win32_sleep_support_win.h"

#include <windows.h>

#include <powrprof.h>

#include "platform/win32/machine_control_win.h"

namespace halcyra {
namespace {

// What SYSTEM_POWER_CAPABILITIES calls HiberFileType on Windows 10 and later; before, the byte
// is spare and 0.
constexpr BYTE kHiberFileReduced = 1;
constexpr BYTE kHiberFileFull = 2;

}  // namespace

std::optional<PowerCapabilities> SystemPowerCapabilities() {
  SYSTEM_POWER_CAPABILITIES caps{};
  if (!GetPwrCapabilities(&caps)) return std::nullopt;
  PowerCapabilities c;
  c.s1 = caps.SystemS1 != FALSE;
  c.s2 = caps.SystemS2 != FALSE;
  c.s3 = caps.SystemS3 != FALSE;
  c.s4 = caps.SystemS4 != FALSE;
  // mingw-w64 still calls AoAc spare2[2] and HiberFileType spare3[0].
  c.aoac = caps.spare2[2] != 0;
  if (caps.HiberFilePresent) {
    c.hiberFile = caps.spare3[0] == kHiberFileReduced ? HiberFile::Reduced
                  : caps.spare3[0] == kHiberFileFull  ? HiberFile::Full
                                                      : HiberFile::Present;
  }
  return c;
}

std::optional<PowerCapabilities> Win32SleepSupport::Capabilities() const {
  return MachinePowerCapabilities(dataFolder_);
}

void Win32SleepSupport::KeepAwake(bool on) {
  // ES_CONTINUOUS alone clears the request again.
  SetThreadExecutionState(on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

}  // namespace halcyra
