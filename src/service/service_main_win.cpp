// The entry point of ShutdownService.exe and ShutdownService-e2e.exe: the installer switches,
// or the service itself when the service manager starts it.
#include <windows.h>

#include "app/paths.h"
#include "core/command_line_words.h"
#include "platform/win32/process_hardening_win.h"
#include "platform/win32/utf8_win.h"
#include "platform/win32/win32_os_info_win.h"
#include "service/service_command_line.h"
#include "service/service_installer_win.h"
#include "service/service_power_win.h"
#include "service/service_runner_win.h"
#include "toolkit/fault_report_win.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// A desktop a user can see: not the service's session, not a hidden window station.
bool HasVisibleDesktop() {
  USEROBJECTFLAGS flags{};
  const HWINSTA station = GetProcessWindowStation();
  return station && GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) &&
         (flags.dwFlags & WSF_VISIBLE) != 0;
}

// One message box, or, with no window allowed, one line on standard error.
void Say(const std::string& text, bool failed, bool quiet) {
  if (quiet) {
    halcyra::WriteStandardError(text);
    return;
  }
  MessageBoxW(nullptr, halcyra::Wide(text).c_str(), L"Halcyra Service",
              MB_OK | MB_SETFOREGROUND | (failed ? MB_ICONERROR : MB_ICONINFORMATION));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace halcyra;
  const bool redirectionsTrusted = HardenProcess();
  const ServiceRequest request = ParseServiceArguments(SplitCommandLine(Utf8(GetCommandLineW())));
  const bool desktop = HasVisibleDesktop();
  if (request.command == ServiceCommand::RunAsService) {
    InstallFaultReport(FaultNotice::StandardError);
    if (RunAsService(redirectionsTrusted)) return 0;
    // Started by hand without arguments: not a service's start.
    Say(kServiceUsage, false, !desktop);
    return kExitUsage;
  }
  const bool quiet = request.silent || !desktop;
  InstallFaultReport(quiet ? FaultNotice::StandardError : FaultNotice::Box);
  if (request.command == ServiceCommand::Usage) {
    Say(kServiceUsage, true, quiet);
    return kExitUsage;
  }
  const Win32OsInfo os;
  InstallOutcome outcome;
  if (request.command == ServiceCommand::Install) {
    PreparedSettings prepared{request.settingsSource, std::nullopt, request.overwrite, ""};
    std::string failure;
    if (!prepared.source.empty()) prepared.content = ReadPreparedSettings(prepared.source, failure);
    outcome = failure.empty() ? InstallCompanionService(ProgramFilePath(), GetDataFolder(os),
                                                        prepared, TrustsInstallingAccount())
                              : InstallOutcome{false, failure};
  } else {
    outcome = UninstallCompanionService();
  }
  Say(outcome.message, !outcome.ok, quiet);
  return outcome.ok ? 0 : kExitFailed;
}
