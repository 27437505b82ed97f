#include "platform/win32/win32_service_control_win.h"

#include <windows.h>

#include "core/text.h"

namespace halcyra {
namespace {

constexpr DWORD kServiceAccess = SERVICE_START | SERVICE_STOP;  // 0x30
// The design sets no limit on the two waits; these bounds make sure that they end, also
// when the service cannot be asked for its state.
constexpr int kMostStopPolls = 30;
constexpr int kMostInterrogations = 50;

class ScHandle {
 public:
  explicit ScHandle(SC_HANDLE h) : h_(h) {}
  ~ScHandle() {
    if (h_) CloseServiceHandle(h_);
  }
  ScHandle(const ScHandle&) = delete;
  ScHandle& operator=(const ScHandle&) = delete;
  SC_HANDLE Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  SC_HANDLE h_;
};

SC_HANDLE OpenManager() { return OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT); }

}  // namespace

std::string ServiceInstallCommand(const std::string& programFolder) {
  return "\"" + JoinPath(programFolder, "ShutdownService.exe") + "\" /INSTALL /SILENT";
}

void Win32ServiceControl::StopCompanionService() {
  ScHandle manager(OpenManager());
  if (!manager) return;
  ScHandle service(OpenServiceA(manager.Get(), kCompanionServiceName, kServiceAccess));
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
  SC_HANDLE reached = OpenManager();
  if (!reached) {
    // The service manager cannot be reached: install the service, then try once more.
    WinExec(ServiceInstallCommand(programFolder_).c_str(), SW_MINIMIZE);
    reached = OpenManager();
  }
  if (!reached) return;
  ScHandle manager(reached);
  ScHandle service(OpenServiceA(manager.Get(), kCompanionServiceName, kServiceAccess));
  if (!service) return;
  if (!StartServiceA(service.Get(), 0, nullptr)) return;
  SERVICE_STATUS status{};
  status.dwCurrentState = SERVICE_START_PENDING;
  for (int i = 0; i < kMostInterrogations && (status.dwCurrentState & 2) != 0; ++i) {
    ControlService(service.Get(), SERVICE_CONTROL_INTERROGATE, &status);
    if ((status.dwCurrentState & 2) != 0) Sleep(100);
  }
  Sleep(100);
}

void Win32ServiceControl::Pause(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

}  // namespace halcyra
