#include "platform/win32/win32_service_control_win.h"

#include <windows.h>

#include "core/text.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {
namespace {

// Start and stop, and the status the two waits look at; a service that grants only start and
// stop (0x30) is still opened with those.
constexpr DWORD kServiceAccess =
    SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS | SERVICE_INTERROGATE;
constexpr DWORD kStartStopAccess = SERVICE_START | SERVICE_STOP;
// The design sets no limit on the two waits; these bounds make sure that they end, also
// when the service cannot be asked for its state.
constexpr int kMostStopPolls = 30;
constexpr int kMostInterrogations = 50;

ScHandle OpenManager() { return ScHandle(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT)); }

ScHandle OpenCompanion(SC_HANDLE manager) {
  const std::wstring name = Wide(kCompanionServiceName);
  if (ScHandle full{OpenServiceW(manager, name.c_str(), kServiceAccess)}) return full;
  return ScHandle(OpenServiceW(manager, name.c_str(), kStartStopAccess));
}

// Fills the status record by interrogating the service. A service that cannot take the
// control yet (still pending) fills it all the same; with other refusals the status is asked
// for directly. False when nothing tells the state: a wait on it would only run to its bound.
bool StatusOf(SC_HANDLE service, SERVICE_STATUS& status) {
  if (ControlService(service, SERVICE_CONTROL_INTERROGATE, &status)) return true;
  const DWORD error = GetLastError();
  if (error == ERROR_SERVICE_CANNOT_ACCEPT_CTRL || error == ERROR_SERVICE_NOT_ACTIVE ||
      error == ERROR_INVALID_SERVICE_CONTROL)
    return true;
  return QueryServiceStatus(service, &status) != FALSE;
}

// Starts the command as WinExec does, without waiting for it, but with the whole of its path
// (WinExec takes only text of the ANSI code page).
void StartMinimized(const std::string& command) {
  std::wstring line = Wide(command);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_MINIMIZE;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started))
    return;
  const UniqueHandle process(started.hProcess), thread(started.hThread);
}

}  // namespace

std::string ServiceInstallCommand(const std::string& programFolder) {
  return "\"" + JoinPath(programFolder, kCompanionServiceExe) + "\" /INSTALL /SILENT";
}

void Win32ServiceControl::StopCompanionService() {
  const ScHandle manager = OpenManager();
  if (!manager) return;
  const ScHandle service = OpenCompanion(manager.Get());
  if (!service) return;
  SERVICE_STATUS status{};
  if (!ControlService(service.Get(), SERVICE_CONTROL_STOP, &status)) return;
  Sleep(1000);
  for (int poll = 0; poll < kMostStopPolls; ++poll) {
    if (!QueryServiceStatus(service.Get(), &status) ||
        status.dwCurrentState != SERVICE_STOP_PENDING)
      break;
    Sleep(1000);
  }
}

void Win32ServiceControl::StartCompanionService() {
  ScHandle manager = OpenManager();
  if (!manager) {
    // The service manager cannot be reached: install the service, then try once more.
    StartMinimized(ServiceInstallCommand(programFolder_));
    manager = OpenManager();
  }
  if (!manager) return;
  const ScHandle service = OpenCompanion(manager.Get());
  if (!service) return;
  if (!StartServiceW(service.Get(), 0, nullptr)) return;
  SERVICE_STATUS status{};
  status.dwCurrentState = SERVICE_START_PENDING;
  for (int i = 0; i < kMostInterrogations && (status.dwCurrentState & 2) != 0; ++i) {
    if (!StatusOf(service.Get(), status)) break;
    if ((status.dwCurrentState & 2) != 0) Sleep(100);
  }
  Sleep(100);
}

void Win32ServiceControl::Pause(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

}  // namespace halcyra
