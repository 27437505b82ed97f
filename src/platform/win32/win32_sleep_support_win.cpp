#include "platform/win32/win32_sleep_support_win.h"

#include <windows.h>

#include <powrprof.h>

namespace halcyra {
namespace {

// The machine's power capabilities. When the system cannot say, everything counts as allowed
// and the power call itself decides.
struct Capabilities {
  bool known = false;
  SYSTEM_POWER_CAPABILITIES caps{};
};

Capabilities Read() {
  Capabilities c;
  c.known = GetPwrCapabilities(&c.caps) != FALSE;
  return c;
}

}  // namespace

bool Win32SleepSupport::SuspendAllowed() const {
  // Any sleep state will do. IsPwrSuspendAllowed is not asked: some implementations want S1, S2
  // and S3 all at once, which almost no machine has. spare2[2] is the field AoAc of current
  // SDKs (mingw-w64 still calls it spare): a machine with modern standby sleeps without S1 to S3.
  const Capabilities c = Read();
  if (!c.known) return true;
  const bool modernStandby = c.caps.spare2[2] != 0;
  return c.caps.SystemS1 || c.caps.SystemS2 || c.caps.SystemS3 || modernStandby;
}

bool Win32SleepSupport::HibernateAllowed() const {
  const Capabilities c = Read();
  return !c.known || (c.caps.SystemS4 && c.caps.HiberFilePresent);
}

void Win32SleepSupport::KeepAwake(bool on) {
  // ES_CONTINUOUS alone clears the request again.
  SetThreadExecutionState(on ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

}  // namespace halcyra
