#include <cstdio>
#include <string>

#include "core/date_time.h"
#include "platform/win32/effects_journal_win.h"
#include "platform/win32/machine_control_win.h"
#include "platform/win32/win32_clock_win.h"
#include "platform/win32/win32_sleep_support_win.h"
#include "platform/win32/win32_system_load_win.h"

namespace halcyra {
namespace {

// "ExitWindowsEx 13", "SetSystemPowerState 1 1", "SetSystemTime 2026-03-03 08:05:07.250",
// "SC_MONITORPOWER 2".
class JournaledMachineControl final : public MachineControl {
 public:
  explicit JournaledMachineControl(const std::string& dataFolder) : journal_(dataFolder) {}

  bool ExitWindowsEx(unsigned flags) override {
    return journal_.Record("ExitWindowsEx " + std::to_string(flags));
  }
  bool SetSystemPowerState(bool suspend, bool force) override {
    return journal_.Record(std::string("SetSystemPowerState ") + (suspend ? "1" : "0") + " " +
                           (force ? "1" : "0"));
  }
  bool SetSystemTime(const LocalTime& t) override {
    char text[64];
    std::snprintf(text, sizeof text, "SetSystemTime %04u-%02u-%02u %02u:%02u:%02u.%03u", t.year,
                  t.month, t.day, t.hour, t.minute, t.second, t.milliseconds);
    return journal_.Record(text);
  }
  bool TurnDisplayOff() override { return journal_.Record("SC_MONITORPOWER 2"); }

 private:
  EffectsJournal journal_;
};

class JournaledSystemLog final : public SystemLog {
 public:
  explicit JournaledSystemLog(const std::string& dataFolder) : journal_(dataFolder) {}
  void Write(ServiceEvent event, const std::string& text) override {
    journal_.Record("ReportEvent " + std::to_string(static_cast<unsigned>(event)) + " " + text);
  }

 private:
  EffectsJournal journal_;
};

// The system's clock moved by the seconds of ClockOffset.txt, read at every question; the tick
// count is the system's.
class ShiftedClock final : public Clock {
 public:
  explicit ShiftedClock(const std::string& dataFolder)
      : path_(Wide(JoinPath(dataFolder, "ClockOffset.txt"))) {}
  LocalTime Now() const override { return Shifted(system_.Now()); }
  LocalTime UtcNow() const override { return Shifted(system_.UtcNow()); }
  std::uint32_t TickCount() const override { return system_.TickCount(); }
  std::uint64_t TickCount64() const override { return system_.TickCount64(); }

 private:
  LocalTime Shifted(const LocalTime& time) const {
    std::FILE* file = _wfopen(path_.c_str(), L"rb");
    if (!file) return time;
    long seconds = 0;
    const bool read = std::fscanf(file, "%ld", &seconds) == 1;
    std::fclose(file);
    return read ? DecodeDateTime(EncodeDateTime(time) + seconds / 86400.0) : time;
  }

  std::wstring path_;
  Win32Clock system_;
};

}  // namespace

std::unique_ptr<Clock> MakeClock(const std::string& dataFolder) {
  return std::make_unique<ShiftedClock>(dataFolder);
}

std::unique_ptr<SystemLog> MakeSystemLog(const std::string& dataFolder) {
  return std::make_unique<JournaledSystemLog>(dataFolder);
}

std::unique_ptr<MachineControl> MakeMachineControl(const std::string& dataFolder) {
  return std::make_unique<JournaledMachineControl>(dataFolder);
}

std::unique_ptr<SystemLoad> MakeSystemLoad() { return std::make_unique<Win32SystemLoad>(3000); }

void NoteScheduleTick(HWND window) {
  constexpr const wchar_t* kTicks = L"HalcyraE2E.Ticks";
  const INT_PTR ticks = reinterpret_cast<INT_PTR>(GetPropW(window, kTicks));
  SetPropW(window, kTicks, reinterpret_cast<HANDLE>(ticks + 1));
}

void NoteTrayBalloon(const std::string& dataFolder, const std::string& text) {
  EffectsJournal(dataFolder).Record("NIF_INFO " + text);
}

void RegisterForRestart(const std::string& dataFolder) {
  constexpr DWORD kFlags = RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT;
  char text[64];
  std::snprintf(text, sizeof text, "RegisterApplicationRestart 0x%lX", kFlags);
  if (SUCCEEDED(RegisterApplicationRestart(nullptr, kFlags)))
    EffectsJournal(dataFolder, "Lifecycle.txt").Record(text);
}

void NoteSessionEnd(const std::string& dataFolder, LPARAM how) {
  char text[64];
  std::snprintf(text, sizeof text, "WM_ENDSESSION 0x%lX", static_cast<unsigned long>(how));
  EffectsJournal(dataFolder, "Lifecycle.txt").Record(text);
}

// Read at every question, so that a test may change the machine while the program runs.
std::optional<PowerCapabilities> MachinePowerCapabilities(const std::string& dataFolder) {
  const auto system = SystemPowerCapabilities();
  std::FILE* file = _wfopen(Wide(JoinPath(dataFolder, "PowerCapabilities.txt")).c_str(), L"rb");
  if (!file) return system;
  char line[256] = {};
  const bool read = std::fgets(line, sizeof line, file) != nullptr;
  std::fclose(file);
  return read ? WithCapabilityWords(system.value_or(PowerCapabilities{}), line) : system;
}

}  // namespace halcyra
