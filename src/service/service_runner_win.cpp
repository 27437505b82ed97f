#include "service/service_runner_win.h"

#include <windows.h>

#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/paths.h"
#include "core/text.h"
#include "platform/service_names.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/machine_control_win.h"
#include "platform/win32/process_hardening_win.h"
#include "platform/win32/utf8_win.h"
#include "platform/win32/win32_clock_win.h"
#include "platform/win32/win32_ini_profile_win.h"
#include "platform/win32/win32_os_info_win.h"
#include "platform/win32/win32_policy_store_win.h"
#include "platform/win32/win32_regional_settings_win.h"
#include "platform/win32/win32_service_host_win.h"
#include "platform/win32/win32_sleep_support_win.h"
#include "platform/win32/win32_system_services_win.h"
#include "platform/win32/win32_wake_timers_win.h"
#include "schedule/wake_up.h"
#include "service/companion_schedule.h"
#include "service/file_trust.h"
#include "service/service_power_win.h"

namespace halcyra {
namespace {

constexpr DWORD kStartHintMs = 5000;
// The longest wait between two readings of the clock. The wait is measured in elapsed time,
// which a change of the clock, the time zone or daylight-saving time does not move: a timer's
// minute that such a change brings closer is seen within this much of it.
constexpr std::uint32_t kLongestWaitMs = 60000;
constexpr DWORD kStopHintMs = 2000;
// The service's own exit code after an error it did not expect: the service manager then runs
// the failure actions (a restart) as it does after a crash.
constexpr DWORD kFaultExitCode = 1;

class CompanionService {
 public:
  // The service manager calls ServiceMain without a context of ours: the one service object of
  // the process is found through this.
  static CompanionService* running;

  explicit CompanionService(bool redirectionsTrusted) : redirectionsTrusted_(redirectionsTrusted) {}
  void Main();

 private:
  static DWORD WINAPI Control(DWORD control, DWORD, void*, void* context);
  void Report(DWORD state, DWORD waitHint = 0, DWORD faultCode = 0);
  void Work(SystemLog& log);
  // Until the stop request: the schedule is looked at when a timer's minute begins, when the
  // data folder changes, and after the clock changed or the machine resumed.
  void Wait(CompanionSchedule& schedule, const Clock& clock, const std::string& folder,
            SystemLog& log);

  bool redirectionsTrusted_;

  SERVICE_STATUS_HANDLE handle_ = nullptr;
  // The control handler runs on the service manager's thread, the work on this one: the
  // status record is written by both.
  std::mutex statusLock_;
  SERVICE_STATUS status_{};
  UniqueHandle stop_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  // Set by the control handler when the clock changed or the machine resumed: the wait is
  // measured again from the clock's new reading.
  UniqueHandle clockMoved_{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
};

CompanionService* CompanionService::running = nullptr;

void CompanionService::Report(DWORD state, DWORD waitHint, DWORD faultCode) {
  const std::lock_guard<std::mutex> lock(statusLock_);
  status_.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status_.dwCurrentState = state;
  status_.dwControlsAccepted = state == SERVICE_RUNNING
                                   ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN |
                                         SERVICE_ACCEPT_POWEREVENT | SERVICE_ACCEPT_TIMECHANGE
                                   : 0;
  status_.dwWin32ExitCode = faultCode ? ERROR_SERVICE_SPECIFIC_ERROR : NO_ERROR;
  status_.dwServiceSpecificExitCode = faultCode;
  status_.dwWaitHint = waitHint;
  const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
  status_.dwCheckPoint = pending ? status_.dwCheckPoint + 1 : 0;
  SetServiceStatus(handle_, &status_);
}

DWORD WINAPI CompanionService::Control(DWORD control, DWORD type, void*, void* context) {
  auto* self = static_cast<CompanionService*>(context);
  switch (control) {
    case SERVICE_CONTROL_TIMECHANGE:
      SetEvent(self->clockMoved_.Get());
      return NO_ERROR;
    case SERVICE_CONTROL_POWEREVENT:
      // A wait does not count the time asleep: after a wake-up for a timer its minute has begun.
      if (type == PBT_APMRESUMEAUTOMATIC) SetEvent(self->clockMoved_.Get());
      return NO_ERROR;
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
      self->Report(SERVICE_STOP_PENDING, kStopHintMs);
      SetEvent(self->stop_.Get());
      return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE: {
      const std::lock_guard<std::mutex> lock(self->statusLock_);
      SetServiceStatus(self->handle_, &self->status_);
      return NO_ERROR;
    }
    default:
      return ERROR_CALL_NOT_IMPLEMENTED;
  }
}

void CompanionService::Main() {
  handle_ = RegisterServiceCtrlHandlerExW(Wide(kCompanionServiceName).c_str(), &Control, this);
  if (!handle_) return;
  Report(SERVICE_START_PENDING, kStartHintMs);
  // The Windows event log; the end-to-end build journals its lines beside the actions.
  const std::unique_ptr<SystemLog> log = MakeSystemLog(GetDataFolder(Win32OsInfo()));
  if (!redirectionsTrusted_) log->Write(ServiceEvent::NoRedirectionTrust, kNoRedirectionTrustText);
  try {
    Work(*log);
    Report(SERVICE_STOPPED);
  } catch (const std::exception& error) {
    log->Write(ServiceEvent::Fault,
               std::string("The Halcyra Service stopped after an error: ") + error.what());
    Report(SERVICE_STOPPED, 0, kFaultExitCode);
  }
}

void CompanionService::Work(SystemLog& log) {
  Win32OsInfo os;
  Win32IniProfile ini;
  Win32RegionalSettings regional;
  Win32Clock clock;
  Win32WakeTimers wakeTimers(log);
  Win32SleepSupport sleep(GetDataFolder(os));
  Win32SessionList sessions;
  Win32FileInspector inspector;
  Win32FileStamps stamps;
  const auto power = MakeServicePower(GetDataFolder(os));
  Win32TextFiles files;
  Win32PolicyStore policyStore;
  PolicyWatch policies(policyStore, log, PolicyReach::MachineOnly);
  CompanionSchedule schedule({os, ini, regional, clock, wakeTimers, sleep, sessions, inspector,
                              stamps, *power, files, log, policies});
  try {
    schedule.Start();
  } catch (const std::exception& error) {
    log.Write(ServiceEvent::SettingsUnreadable,
              std::string("The schedule could not be read: ") + error.what());
  }
  Report(SERVICE_RUNNING);
  log.Write(ServiceEvent::StateChanged, "The Halcyra Service has started.");
  Wait(schedule, clock, GetDataFolder(os), log);
  schedule.Stop();
  log.Write(ServiceEvent::StateChanged, "The Halcyra Service has stopped.");
}

void CompanionService::Wait(CompanionSchedule& schedule, const Clock& clock,
                            const std::string& folder, SystemLog& log) {
  const UniqueHandle timer(CreateWaitableTimerW(nullptr, FALSE, nullptr));
  if (!timer)
    throw std::runtime_error("No waitable timer: error " + std::to_string(GetLastError()));
  std::optional<FolderChanges> changes;
  // An administrator's change of the machine's policies is looked at at once.
  MachinePolicyChanges policyChanges;
  // The minute whose timers were looked at last; year 0: none yet, so the first look is now.
  LocalTime looked{};
  bool changed = true;
  for (;;) {
    // Watched only as the plain folder it is meant to be; else the next wait tries again, and
    // the schedule's own checks say what is wrong when it looks.
    if (!changes || !changes->Watching()) {
      changes.emplace(folder);
      if (!changes->Watching() || !WhyNotPlain(changes->Facts(), folder, true).empty())
        changes.reset();
      else
        changed = true;  // what changed while nothing watched went unnoticed
    }
    const LocalTime now = clock.Now();
    const std::uint32_t wait =
        MillisecondsToLook(NextMinuteToLook(schedule.Timers(), looked, now), now, kLongestWaitMs);
    if (changed || wait == 0) {
      try {
        schedule.Tick();
      } catch (const std::exception& error) {
        log.Write(ServiceEvent::Fault, error.what());
      }
      // Read before the look: a minute that began during it is looked at next.
      looked = now;
      changed = false;
      continue;
    }
    LARGE_INTEGER due{};
    due.QuadPart = -static_cast<LONGLONG>(wait) * 10000;  // relative, in 100 ns
    if (!SetWaitableTimer(timer.Get(), &due, 0, nullptr, nullptr, FALSE))
      throw std::runtime_error("The waitable timer could not be set: error " +
                               std::to_string(GetLastError()));
    HANDLE events[5] = {stop_.Get(), timer.Get(), clockMoved_.Get()};
    DWORD count = 3;
    const DWORD policyIndex = policyChanges.Event() ? count++ : MAXDWORD;
    if (policyIndex != MAXDWORD) events[policyIndex] = policyChanges.Event();
    const DWORD folderIndex = changes && changes->Watching() ? count++ : MAXDWORD;
    if (folderIndex != MAXDWORD) events[folderIndex] = changes->Event();
    const DWORD woken = WaitForMultipleObjects(count, events, FALSE, INFINITE);
    if (woken == WAIT_OBJECT_0) break;
    if (woken == WAIT_FAILED)
      throw std::runtime_error("The service's wait failed: error " +
                               std::to_string(GetLastError()));
    if (woken == WAIT_OBJECT_0 + policyIndex) {
      policyChanges.Next();
      changed = true;
    }
    if (woken == WAIT_OBJECT_0 + folderIndex) {
      changes->Next();
      changed = true;
    }
  }
}

void WINAPI ServiceMain(DWORD, LPWSTR*) { CompanionService::running->Main(); }

}  // namespace

bool RunAsService(bool redirectionsTrusted) {
  CompanionService service(redirectionsTrusted);
  CompanionService::running = &service;
  std::wstring name = Wide(kCompanionServiceName);
  const SERVICE_TABLE_ENTRYW table[] = {{name.data(), &ServiceMain}, {nullptr, nullptr}};
  const bool connected = StartServiceCtrlDispatcherW(table) != FALSE;
  CompanionService::running = nullptr;
  return connected;
}

}  // namespace halcyra
