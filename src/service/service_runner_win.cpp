#include "service/service_runner_win.h"

#include <windows.h>

#include <exception>
#include <mutex>
#include <string>

#include "app/paths.h"
#include "core/text.h"
#include "platform/service_names.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/utf8_win.h"
#include "platform/win32/win32_clock_win.h"
#include "platform/win32/win32_ini_profile_win.h"
#include "platform/win32/win32_os_info_win.h"
#include "platform/win32/win32_regional_settings_win.h"
#include "platform/win32/win32_service_host_win.h"
#include "platform/win32/win32_sleep_support_win.h"
#include "platform/win32/win32_system_services_win.h"
#include "platform/win32/win32_wake_timers_win.h"
#include "service/companion_schedule.h"
#include "service/service_power_win.h"

namespace halcyra {
namespace {

constexpr DWORD kStartHintMs = 5000;
constexpr DWORD kStopHintMs = 2000;
// The service's own exit code after an error it did not expect: the service manager then runs
// the failure actions (a restart) as it does after a crash.
constexpr DWORD kFaultExitCode = 1;

class CompanionService {
 public:
  // The service manager calls ServiceMain without a context of ours: the one service object of
  // the process is found through this.
  static CompanionService* running;

  void Main();

 private:
  static DWORD WINAPI Control(DWORD control, DWORD, void*, void* context);
  void Report(DWORD state, DWORD waitHint = 0, DWORD faultCode = 0);
  void Work(Win32SystemLog& log);

  SERVICE_STATUS_HANDLE handle_ = nullptr;
  // The control handler runs on the service manager's thread, the work on this one: the
  // status record is written by both.
  std::mutex statusLock_;
  SERVICE_STATUS status_{};
  UniqueHandle stop_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

CompanionService* CompanionService::running = nullptr;

void CompanionService::Report(DWORD state, DWORD waitHint, DWORD faultCode) {
  const std::lock_guard<std::mutex> lock(statusLock_);
  status_.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status_.dwCurrentState = state;
  status_.dwControlsAccepted =
      state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN : 0;
  status_.dwWin32ExitCode = faultCode ? ERROR_SERVICE_SPECIFIC_ERROR : NO_ERROR;
  status_.dwServiceSpecificExitCode = faultCode;
  status_.dwWaitHint = waitHint;
  const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
  status_.dwCheckPoint = pending ? status_.dwCheckPoint + 1 : 0;
  SetServiceStatus(handle_, &status_);
}

DWORD WINAPI CompanionService::Control(DWORD control, DWORD, void*, void* context) {
  auto* self = static_cast<CompanionService*>(context);
  switch (control) {
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
  Win32SystemLog log;
  try {
    Work(log);
    Report(SERVICE_STOPPED);
  } catch (const std::exception& error) {
    log.Write(ServiceEvent::Fault,
              std::string("The Halcyra Service stopped after an error: ") + error.what());
    Report(SERVICE_STOPPED, 0, kFaultExitCode);
  }
}

void CompanionService::Work(Win32SystemLog& log) {
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
  CompanionSchedule schedule({os, ini, regional, clock, wakeTimers, sleep, sessions, inspector,
                              stamps, *power, files, log});
  try {
    schedule.Start();
  } catch (const std::exception& error) {
    log.Write(ServiceEvent::SettingsUnreadable,
              std::string("The schedule could not be read: ") + error.what());
  }
  Report(SERVICE_RUNNING);
  log.Write(ServiceEvent::StateChanged, "The Halcyra Service has started.");
  // A tick at every full second of the clock, until the stop request.
  for (;;) {
    const DWORD toNextSecond = 1000 - clock.Now().milliseconds % 1000;
    if (WaitForSingleObject(stop_.Get(), toNextSecond) != WAIT_TIMEOUT) break;
    try {
      schedule.Tick();
    } catch (const std::exception& error) {
      log.Write(ServiceEvent::Fault, error.what());
    }
  }
  schedule.Stop();
  log.Write(ServiceEvent::StateChanged, "The Halcyra Service has stopped.");
}

void WINAPI ServiceMain(DWORD, LPWSTR*) { CompanionService::running->Main(); }

}  // namespace

bool RunAsService() {
  CompanionService service;
  CompanionService::running = &service;
  std::wstring name = Wide(kCompanionServiceName);
  const SERVICE_TABLE_ENTRYW table[] = {{name.data(), &ServiceMain}, {nullptr, nullptr}};
  const bool connected = StartServiceCtrlDispatcherW(table) != FALSE;
  CompanionService::running = nullptr;
  return connected;
}

}  // namespace halcyra
