#include <windows.h>

#include "platform/win32/machine_control_win.h"
#include "platform/win32/win32_clock_win.h"
#include "platform/win32/win32_service_host_win.h"
#include "platform/win32/win32_sleep_support_win.h"
#include "platform/win32/win32_system_load_win.h"

namespace halcyra {
namespace {

// The system's own calls. TRUE travels as -1 (all bits set), as the power-state call has
// always been given it here.
constexpr BOOL kTrueAllBits = -1;

class RealMachineControl final : public MachineControl {
 public:
  // A planned shutdown of the "other" kind: Windows logs it so, not as "No title for this
  // reason could be found".
  bool ExitWindowsEx(unsigned flags) override {
    return ::ExitWindowsEx(flags, SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED) != FALSE;
  }
  bool SetSystemPowerState(bool suspend, bool force) override {
    return ::SetSystemPowerState(suspend ? kTrueAllBits : FALSE, force ? kTrueAllBits : FALSE) !=
           FALSE;
  }
  bool SetSystemTime(const LocalTime& t) override {
    const SYSTEMTIME st{t.year, t.month,  t.dayOfWeek, t.day,
                        t.hour, t.minute, t.second,    t.milliseconds};
    return ::SetSystemTime(&st) != FALSE;
  }
  // Posted, not sent: a window that hangs must not hold the action up.
  bool TurnDisplayOff() override {
    constexpr LPARAM kDisplayOff = 2;
    return PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, kDisplayOff) != FALSE;
  }
};

}  // namespace

std::unique_ptr<SystemLoad> MakeSystemLoad() { return std::make_unique<Win32SystemLoad>(); }

void NoteTrayBalloon(const std::string&, const std::string&) {}

void NoteScheduleTick(HWND) {}

void RegisterForRestart(const std::string&) {
  RegisterApplicationRestart(nullptr, RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT);
}

void NoteSessionEnd(const std::string&, LPARAM) {}

std::unique_ptr<Clock> MakeClock(const std::string&) { return std::make_unique<Win32Clock>(); }

std::unique_ptr<MachineControl> MakeMachineControl(const std::string&) {
  return std::make_unique<RealMachineControl>();
}

std::unique_ptr<SystemLog> MakeSystemLog(const std::string&) {
  return std::make_unique<Win32SystemLog>();
}

std::optional<PowerCapabilities> MachinePowerCapabilities(const std::string&) {
  return SystemPowerCapabilities();
}

}  // namespace halcyra
