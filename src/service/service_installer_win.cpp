#include "service/service_installer_win.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include "app/paths.h"
#include "core/text.h"
#include "platform/service_names.h"
#include "platform/win32/handle_win.h"

namespace halcyra {
namespace {

constexpr const char* kDescription =
    "Carries out Halcyra's scheduled shutdowns while nobody is logged on.";
// The system and administrators as Windows gives them; interactive users may also start (RP),
// stop (WP), query (LC, CC), interrogate (LO) and read (RC) it, so that the tray program's OK
// works for a standard user.
constexpr const char* kServiceSddl =
    "D:(A;;CCLCSWRPWPDTLOCRRC;;;SY)(A;;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;BA)"
    "(A;;CCLCSWLOCRRC;;;AU)(A;;CCLCSWRPWPDTLOCRRC;;;IU)";
constexpr int kWaitSteps = 100;  // of 100 ms: the service gets 10 seconds to start or stop

std::string Failure(const std::string& what, DWORD error) {
  return what + " (error " + std::to_string(error) + ").";
}

bool WaitForState(SC_HANDLE service, DWORD wanted) {
  SERVICE_STATUS status{};
  for (int step = 0; step < kWaitSteps; ++step) {
    if (!QueryServiceStatus(service, &status)) return false;
    if (status.dwCurrentState == wanted) return true;
    Sleep(100);
  }
  return false;
}

// The service's own entry: created, or brought up to date when an older one exists.
SC_HANDLE RegisterService(SC_HANDLE manager, const std::string& command) {
  SC_HANDLE service = CreateServiceA(manager, kCompanionServiceName, kCompanionServiceDisplayName,
                                     SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                     SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, command.c_str(),
                                     nullptr, nullptr, nullptr, nullptr, nullptr);
  if (service || GetLastError() != ERROR_SERVICE_EXISTS) return service;
  service = OpenServiceA(manager, kCompanionServiceName, SERVICE_ALL_ACCESS);
  if (service && !ChangeServiceConfigA(service, SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                                       SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr,
                                       nullptr, nullptr, nullptr, kCompanionServiceDisplayName)) {
    CloseServiceHandle(service);
    return nullptr;
  }
  return service;
}

bool GrantInteractiveUsers(SC_HANDLE service) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kServiceSddl, SDDL_REVISION_1,
                                                            &descriptor, nullptr))
    return false;
  const bool done =
      SetServiceObjectSecurity(service, DACL_SECURITY_INFORMATION, descriptor) != FALSE;
  LocalFree(descriptor);
  return done;
}

// Modify rights for BUILTIN\Users on the folder, inherited by the files and folders in it, on
// top of what the folder has.
DWORD GrantUsersModify(const std::string& folder) {
  PACL current = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  DWORD error = GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                      nullptr, nullptr, &current, nullptr, &descriptor);
  if (error != ERROR_SUCCESS) return error;
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD sidSize = sizeof sid;
  if (!CreateWellKnownSid(WinBuiltinUsersSid, nullptr, sid, &sidSize)) {
    LocalFree(descriptor);
    return GetLastError();
  }
  EXPLICIT_ACCESSA access{};
  access.grfAccessPermissions =
      FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE;
  access.grfAccessMode = GRANT_ACCESS;
  access.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
  access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  access.Trustee.ptstrName = reinterpret_cast<LPSTR>(sid);
  PACL updated = nullptr;
  error = SetEntriesInAclA(1, &access, current, &updated);
  if (error == ERROR_SUCCESS) {
    error = SetNamedSecurityInfoA(const_cast<char*>(folder.c_str()), SE_FILE_OBJECT,
                                  DACL_SECURITY_INFORMATION, nullptr, nullptr, updated, nullptr);
    LocalFree(updated);
  }
  LocalFree(descriptor);
  return error;
}

// The folder with its rights, then the prepared settings file or an empty one. An existing file
// is never touched, unless a prepared one is to overwrite it.
std::string PrepareDataFolder(const std::string& folder, const PreparedSettings& prepared) {
  if (folder.empty()) return "The shared data folder of this Windows version is not known.";
  if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    return Failure("The data folder \"" + folder + "\" could not be created", GetLastError());
  if (const DWORD error = GrantUsersModify(folder); error != ERROR_SUCCESS)
    return Failure("Users could not be given modify access to \"" + folder + "\"", error);
  const std::string settings = JoinPath(folder, kSettingsFileName);
  if (!prepared.source.empty()) {
    if (CopyFileA(prepared.source.c_str(), settings.c_str(), !prepared.overwrite) ||
        (!prepared.overwrite && GetLastError() == ERROR_FILE_EXISTS))
      return "";
    return Failure("The prepared settings file \"" + prepared.source + "\" could not be copied",
                   GetLastError());
  }
  UniqueHandle file(CreateFileA(settings.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file && GetLastError() != ERROR_FILE_EXISTS)
    return Failure("The settings file \"" + settings + "\" could not be created", GetLastError());
  return "";
}

}  // namespace

InstallOutcome InstallCompanionService(const std::string& exePath, const std::string& dataFolder,
                                       const PreparedSettings& settings) {
  ScHandle manager(
      OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE));
  if (!manager)
    return {false, Failure("The service manager refused the installation; run it as an "
                           "administrator",
                           GetLastError())};
  ScHandle service(RegisterService(manager.Get(), "\"" + exePath + "\""));
  if (!service) return {false, Failure("The service could not be registered", GetLastError())};
  SERVICE_DESCRIPTIONA description{const_cast<char*>(kDescription)};
  ChangeServiceConfig2A(service.Get(), SERVICE_CONFIG_DESCRIPTION, &description);
  if (!GrantInteractiveUsers(service.Get()))
    return {false,
            Failure("Users could not be given the right to restart the service", GetLastError())};
  if (const std::string problem = PrepareDataFolder(dataFolder, settings); !problem.empty())
    return {false, problem};
  if (!StartServiceA(service.Get(), 0, nullptr) && GetLastError() != ERROR_SERVICE_ALREADY_RUNNING)
    return {false, Failure("The service was registered but did not start", GetLastError())};
  if (!WaitForState(service.Get(), SERVICE_RUNNING))
    return {false, "The service was registered but did not report that it runs."};
  return {true, "The Halcyra Service is installed and running."};
}

InstallOutcome UninstallCompanionService() {
  ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return {false, Failure("The service manager could not be reached", GetLastError())};
  ScHandle service(OpenServiceA(manager.Get(), kCompanionServiceName,
                                SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
  if (!service) {
    if (GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST)
      return {true, "The Halcyra Service is not installed."};
    return {false,
            Failure("The service could not be opened; run it as an administrator", GetLastError())};
  }
  SERVICE_STATUS status{};
  if (ControlService(service.Get(), SERVICE_CONTROL_STOP, &status))
    WaitForState(service.Get(), SERVICE_STOPPED);
  if (!DeleteService(service.Get()) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE)
    return {false, Failure("The service could not be removed", GetLastError())};
  return {true, "The Halcyra Service is removed. The settings and the log stay."};
}

}  // namespace halcyra
