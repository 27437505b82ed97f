#include "platform/win32/win32_sleep_support_win.h"

#include <windows.h>

#include <powrprof.h>

#include <utility>

#include "platform/win32/machine_control_win.h"
#include "platform/win32/utf8_win.h"

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

void Win32SleepSupport::KeepAwake(const std::string& reason) {
  LetSleep();
  std::wstring text = Wide(reason);
  REASON_CONTEXT context{};
  context.Version = POWER_REQUEST_CONTEXT_VERSION;
  context.Flags = POWER_REQUEST_CONTEXT_SIMPLE_STRING;
  context.Reason.SimpleReasonString = text.data();
  UniqueHandle request(PowerCreateRequest(&context));
  if (request && PowerSetRequest(request.Get(), PowerRequestSystemRequired)) {
    request_ = std::move(request);
    return;
  }
  // Without a request the machine still must not sleep mid-countdown, only without a reason.
  threadState_ = SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) != 0;
}

void Win32SleepSupport::LetSleep() {
  if (request_) PowerClearRequest(request_.Get(), PowerRequestSystemRequired);
  request_.Close();
  // ES_CONTINUOUS alone clears the thread's request again.
  if (threadState_) SetThreadExecutionState(ES_CONTINUOUS);
  threadState_ = false;
}

}  // namespace halcyra
