// The entry point of ShutdownService.exe and ShutdownService-e2e.exe: the installer switches,
// or the service itself when the service manager starts it.
#include <windows.h>

#include "app/paths.h"
#include "platform/win32/win32_os_info_win.h"
#include "service/service_command_line.h"
#include "service/service_installer_win.h"
#include "service/service_runner_win.h"
#include "toolkit/fault_report_win.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void Say(const std::string& text, bool failed) {
  MessageBoxA(nullptr, text.c_str(), "Halcyra Service",
              MB_OK | MB_SETFOREGROUND | (failed ? MB_ICONERROR : MB_ICONINFORMATION));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace halcyra;
  const ServiceRequest request = ParseServiceArguments(SplitCommandLine(GetCommandLineA()));
  if (request.command == ServiceCommand::RunAsService) {
    if (RunAsService()) return 0;
    // Started by hand without arguments: not a service's start.
    Say(kServiceUsage, false);
    return kExitUsage;
  }
  InstallFaultReport();
  if (request.command == ServiceCommand::Usage) {
    Say(kServiceUsage, false);
    return kExitUsage;
  }
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const Win32OsInfo os;
  const InstallOutcome outcome =
      request.command == ServiceCommand::Install
          ? InstallCompanionService(exe, GetDataFolder(os),
                                    {request.settingsSource, request.overwrite})
          : UninstallCompanionService();
  if (!request.silent) Say(outcome.message, !outcome.ok);
  return outcome.ok ? 0 : kExitFailed;
}
