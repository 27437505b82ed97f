// The entry point of Halcyra.exe and Halcyra-e2e.exe; the program reads no command line.
#include <windows.h>

#include <objbase.h>

#include "app/app_services.h"
#include "app/paths.h"
#include "app/startup.h"
#include "lang/texts_win.h"
#include "platform/win32/machine_control_win.h"
#include "platform/win32/process_hardening_win.h"
#include "platform/win32/process_identity_win.h"
#include "platform/win32/win32_ini_profile_win.h"
#include "platform/win32/win32_os_info_win.h"
#include "platform/win32/win32_policy_store_win.h"
#include "platform/win32/win32_regional_settings_win.h"
#include "startup_host_win.h"
#include "toolkit/fault_report_win.h"
#include "toolkit/message_boxes_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace halcyra;
  const bool redirectionsTrusted = HardenProcess();
  InstallFaultReport();
  // Right-to-left languages mirror every window made from here on.
  ApplyInterfaceLayout();
  const HRESULT com = CoInitialize(nullptr);

  Win32OsInfo os;
  // Started for a service account it would fire every user's timers and clean up folders that
  // users may write with rights no user has: it says so where an administrator looks, and ends.
  if (const std::string why = ServiceAccountRefusal(OwnIdentity()); !why.empty()) {
    MakeSystemLog(GetDataFolder(os))
        ->Write(ServiceEvent::ServiceAccount,
                "Halcyra ended at once: it acts only for a logged-on user, and " + why +
                    ". Start it at the user's logon, or leave the timers to the companion "
                    "service.");
    return 1;
  }
  if (!redirectionsTrusted)
    MakeSystemLog(GetDataFolder(os))
        ->Write(ServiceEvent::NoRedirectionTrust, kNoRedirectionTrustText);
  Win32IniProfile ini;
  Win32RegionalSettings regional;
  Win32MessageBoxes boxes;
  const auto machine = MakeMachineControl(GetDataFolder(os));
  Win32PolicyStore policyStore;
  const auto policyLog = MakeSystemLog(GetDataFolder(os));
  PolicyWatch policies(policyStore, *policyLog, PolicyReach::MachineAndUser);
  const AppServices services{os, ini, regional, boxes, *machine, policies};
  Win32StartupHost host(services, boxes);
  // After an installer closed it through the Restart Manager, Windows starts it again as an
  // ordinary start, so that the evening's timers still fire.
  RegisterForRestart(GetDataFolder(os));
  const int code = RunStartup(host, services);

  if (SUCCEEDED(com)) CoUninitialize();
  return code;
}
