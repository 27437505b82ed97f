#include "service/service_installer_win.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <iterator>
#include <optional>
#include <vector>

#include "core/text.h"
#include "platform/service_names.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/sid_text_win.h"
#include "platform/win32/utf8_win.h"
#include "platform/win32/win32_service_host_win.h"
#include "service/data_folder_security.h"
#include "service/data_folder_win.h"
#include "service/file_trust.h"
#include "service/prepared_settings.h"
#include "service/service_sid_win.h"
#include "service/trusted_accounts.h"

namespace halcyra {
namespace {

constexpr const wchar_t* kDescription =
    L"Carries out Halcyra's scheduled shutdowns while nobody is logged on.";
// The system and administrators as Windows gives them, authenticated users Windows' usual
// query rights; interactive users may also start (RP), stop (WP) and pause (DT) it, so that the
// tray program's OK works for a standard user. The service accepts only stop and shutdown.
constexpr const wchar_t* kServiceSddl =
    L"D:(A;;CCLCSWRPWPDTLOCRRC;;;SY)(A;;CCDCLCSWRPWPDTLOCRSDRCWDWO;;;BA)"
    L"(A;;CCLCSWLOCRRC;;;AU)(A;;CCLCSWRPWPDTLOCRRC;;;IU)";
constexpr int kWaitSteps = 100;  // of 100 ms: the service gets 10 seconds to start or stop
// The least account that can power the machine off: it holds the shutdown privilege, and no
// right over other users' files, processes or the program's own folder.
constexpr const wchar_t* kServiceAccount = L"NT AUTHORITY\\LocalService";
constexpr DWORD kResetPeriodSeconds = 24 * 60 * 60;
constexpr const wchar_t* kEventSourceKey =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Halcyra_Service";
// Where the package keeps its remembered properties (installer/Halcyra.wxs.in).
constexpr const wchar_t* kRememberedKey = L"Software\\Halcyra";
constexpr const wchar_t* kSharedSettingsValue = L"SharedSettings";
// The only privilege the service keeps in its token (a list ending in an empty name).
constexpr wchar_t kRequiredPrivileges[] = L"SeShutdownPrivilege\0";

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
ScHandle RegisterService(SC_HANDLE manager, const std::string& command) {
  const std::wstring name = Wide(kCompanionServiceName), shown = Wide(kCompanionServiceDisplayName),
                     line = Wide(command);
  ScHandle service(CreateServiceW(manager, name.c_str(), shown.c_str(), SERVICE_ALL_ACCESS,
                                  SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                                  SERVICE_ERROR_NORMAL, line.c_str(), nullptr, nullptr, nullptr,
                                  kServiceAccount, L""));
  if (service || GetLastError() != ERROR_SERVICE_EXISTS) return service;
  service.Reset(OpenServiceW(manager, name.c_str(), SERVICE_ALL_ACCESS));
  if (service && !ChangeServiceConfigW(service.Get(), SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                                       SERVICE_ERROR_NORMAL, line.c_str(), nullptr, nullptr,
                                       nullptr, kServiceAccount, L"", shown.c_str())) {
    // The caller reports why the configuration was refused, not what closing the handle left.
    const DWORD refused = GetLastError();
    service.Close();
    SetLastError(refused);
  }
  return service;
}

// The optional settings: Windows applies them all, older systems or Wine may refuse some. A
// refusal is said, not fatal: the service works without them, with a wider token.
std::vector<std::string> ConfigureService(SC_HANDLE service) {
  std::vector<std::string> notes;
  const auto apply = [&](DWORD level, void* info, const char* what) {
    if (!ChangeServiceConfig2W(service, level, info))
      notes.push_back(
          Failure(std::string("Windows refused the service's ") + what, GetLastError()));
  };
  SERVICE_DESCRIPTIONW description{const_cast<wchar_t*>(kDescription)};
  apply(SERVICE_CONFIG_DESCRIPTION, &description, "description");
  wchar_t privileges[std::size(kRequiredPrivileges) + 1] = {};
  std::copy(std::begin(kRequiredPrivileges), std::end(kRequiredPrivileges), privileges);
  SERVICE_REQUIRED_PRIVILEGES_INFOW required{privileges};
  apply(SERVICE_CONFIG_REQUIRED_PRIVILEGES_INFO, &required, "required privileges");
  SERVICE_SID_INFO sid{SERVICE_SID_TYPE_UNRESTRICTED};
  apply(SERVICE_CONFIG_SERVICE_SID_INFO, &sid, "own SID");
  // Started once the logon's own work is done; restarted a minute after a failure, twice, the
  // count starting again after a day; also after a stop with the service's own error code.
  SERVICE_DELAYED_AUTO_START_INFO delayed{TRUE};
  apply(SERVICE_CONFIG_DELAYED_AUTO_START_INFO, &delayed, "delayed start");
  SC_ACTION actions[] = {
      {SC_ACTION_RESTART, 60000}, {SC_ACTION_RESTART, 60000}, {SC_ACTION_NONE, 0}};
  SERVICE_FAILURE_ACTIONSW failure{kResetPeriodSeconds, nullptr, nullptr,
                                   static_cast<DWORD>(std::size(actions)), actions};
  apply(SERVICE_CONFIG_FAILURE_ACTIONS, &failure, "failure actions");
  SERVICE_FAILURE_ACTIONS_FLAG afterErrors{TRUE};
  apply(SERVICE_CONFIG_FAILURE_ACTIONS_FLAG, &afterErrors, "failure actions after errors");
  return notes;
}

// The service's event source: Event Viewer takes the texts of its entries from the message
// table of the executable.
std::string RegisterEventSource(const std::string& exePath) {
  HKEY created = nullptr;
  LONG error = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kEventSourceKey, 0, nullptr, 0,
                               KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &created, nullptr);
  if (error == ERROR_SUCCESS) {
    const UniqueRegistryKey key(created);
    const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
    const std::wstring file = Wide(exePath);
    error = RegSetValueExW(key.Get(), L"EventMessageFile", 0, REG_EXPAND_SZ,
                           reinterpret_cast<const BYTE*>(file.c_str()),
                           static_cast<DWORD>((file.size() + 1) * sizeof(wchar_t)));
    if (error == ERROR_SUCCESS)
      error = RegSetValueExW(key.Get(), L"TypesSupported", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&types), sizeof types);
  }
  return error == ERROR_SUCCESS
             ? ""
             : Failure("The service's event source could not be registered", error);
}

bool Absent(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// The owner and access list of the object behind `handle`, or nullopt.
std::optional<FolderSecurity> SecurityOf(HANDLE handle, const std::string& path) {
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(handle, SE_FILE_OBJECT,
                      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                      &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
    return std::nullopt;
  const UniqueLocal owned(descriptor);
  FolderSecurity security{path, false, SidText(owner), std::nullopt};
  if (!dacl) return security;
  security.entries.emplace();
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&header))) continue;
    const bool allow = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
    if (!allow && header->AceType != ACCESS_DENIED_ACE_TYPE) {
      // An entry of another kind (object, callback) is read as a grant of everything to an
      // account that could not be read.
      security.entries->push_back({"", file_rights::kGenericAll, true, false, true, true});
      continue;
    }
    const auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
    security.entries->push_back({SidText(const_cast<DWORD*>(&ace->SidStart)), ace->Mask, allow,
                                 (header->AceFlags & INHERIT_ONLY_ACE) != 0,
                                 (header->AceFlags & CONTAINER_INHERIT_ACE) != 0,
                                 (header->AceFlags & OBJECT_INHERIT_ACE) != 0});
  }
  return security;
}

// Opens without following a link: Windows then shows a link as itself.
UniqueHandle OpenItself(const std::string& path) {
  return UniqueHandle(
      CreateFileW(Wide(path).c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// The folder at `path` as a handle that does not follow links shows it; a link also when the
// system followed it although told not to (Wine does), since the handle then leads elsewhere.
std::optional<FolderSecurity> FolderOnTheWay(const std::string& path, std::string& refusal) {
  const UniqueHandle handle = OpenItself(path + (path.back() == ':' ? "\\" : ""));
  std::optional<FolderSecurity> security = handle ? SecurityOf(handle.Get(), path) : std::nullopt;
  if (!security) {
    refusal = Failure("\"" + path + "\" could not be examined", GetLastError());
    return std::nullopt;
  }
  const FileFacts facts = FactsOf(handle.Get());
  std::string final = facts.finalPath;
  while (final.size() > 2 && final.back() == '\\') final.pop_back();
  security->link = facts.reparsePoint || !EqualsIgnoreCase(final, path);
  return security;
}

}  // namespace

std::optional<std::string> TrustedInstallFolder(const std::string& folder,
                                                const std::string& installingAccount,
                                                std::string& refusal) {
  // The nearest folder that exists, resolved as Windows resolves it: every link in the given
  // path is followed once here, and the resolved path may then hold none.
  std::string existing = folder, rest;
  UniqueHandle handle;
  for (;;) {
    handle = UniqueHandle(CreateFileW(Wide(existing).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (handle) break;
    const DWORD error = GetLastError();
    const std::string above = FolderOf(existing);
    if (!Absent(error) || above.empty() || existing.size() <= 3) {
      refusal = Failure("\"" + existing + "\" could not be opened", error);
      return std::nullopt;
    }
    rest = existing.substr(above.size()) + rest;
    existing = above.back() == ':' ? above + "\\" : above;
  }
  std::string resolved = FinalPath(handle.Get()).value_or("");
  handle.Close();
  while (resolved.size() > 3 && resolved.back() == '\\') resolved.pop_back();
  if (resolved.size() < 3 || resolved[1] != ':' || resolved[2] != '\\') {
    refusal = "\"" + existing + "\" leads to \"" + resolved + "\", which is no local drive path";
    return std::nullopt;
  }
  // The package and the service use the folder as it is written, not as it resolves now: a
  // link anywhere in it would take every later write wherever the link then points.
  std::string given = existing;
  while (given.size() > 3 && given.back() == '\\') given.pop_back();
  if (CompareStringOrdinal(Wide(given).c_str(), -1, Wide(resolved).c_str(), -1, TRUE) !=
      CSTR_EQUAL) {
    refusal = "\"" + given + "\" leads to \"" + resolved +
              "\" through a link, a junction or a short name";
    return std::nullopt;
  }
  std::vector<FolderSecurity> chain;
  for (std::string path = resolved.back() == '\\' ? resolved.substr(0, 2) : resolved; !path.empty();
       path = FolderOf(path)) {
    std::optional<FolderSecurity> security = FolderOnTheWay(path, refusal);
    if (!security) return std::nullopt;
    if (path.back() == ':') security->path += "\\";
    chain.push_back(std::move(*security));
  }
  refusal = ExposedInstallFolder(chain, rest.empty(), installingAccount);
  if (!refusal.empty()) return std::nullopt;
  return (resolved.back() == '\\' ? resolved.substr(0, 2) : resolved) + rest;
}

namespace {

// The executable's final path when neither it, nor its folder, nor a folder above can be changed
// or renamed away by somebody the installation does not trust, or nullopt with the reason: a
// service runs its file with its account's rights.
std::optional<std::string> TrustedExecutable(const std::string& exePath,
                                             const std::string& installingAccount,
                                             std::string& refusal) {
  const std::optional<std::string> folder =
      TrustedInstallFolder(FolderOf(exePath), installingAccount, refusal);
  if (!folder) return std::nullopt;
  const std::string exe = *folder + exePath.substr(FolderOf(exePath).size());
  const UniqueHandle handle = OpenItself(exe);
  std::optional<FolderSecurity> security = handle ? SecurityOf(handle.Get(), exe) : std::nullopt;
  if (!security) {
    refusal = Failure("\"" + exe + "\" could not be examined", GetLastError());
    return std::nullopt;
  }
  const FileFacts facts = FactsOf(handle.Get());
  if (const std::string why = WhyNotPlain(facts, exe, false); !why.empty()) {
    refusal = why;
    return std::nullopt;
  }
  if (std::string writer =
          UntrustedWriter(security->owner, security->entries, installingAccount, ChangingRights());
      !writer.empty()) {
    refusal = "\"" + exe + "\" can be changed by " + writer;
    return std::nullopt;
  }
  return exe;
}

// A service that runs keeps its old account and token until it starts again.
void StopIfRunning(SC_HANDLE service) {
  SERVICE_STATUS status{};
  if (QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_STOPPED &&
      ControlService(service, SERVICE_CONTROL_STOP, &status))
    WaitForState(service, SERVICE_STOPPED);
}

// What the package was last told (SHARED_SETTINGS, kept in the registry across upgrades), so
// that installing the service by hand does not undo a lock an administrator chose.
SharedSettings RememberedSharedSettings() {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRememberedKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                    &opened) != ERROR_SUCCESS)
    return SharedSettings::Writable;
  const UniqueRegistryKey key(opened);
  wchar_t value[32] = {};
  DWORD size = sizeof value - sizeof(wchar_t), type = 0;
  if (RegQueryValueExW(key.Get(), kSharedSettingsValue, nullptr, &type,
                       reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return SharedSettings::Writable;
  return SharedSettingsOf(Utf8(value)).value_or(SharedSettings::Writable);
}

bool GrantInteractiveUsers(SC_HANDLE service) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kServiceSddl, SDDL_REVISION_1,
                                                            &descriptor, nullptr))
    return false;
  const UniqueLocal owned(descriptor);
  return SetServiceObjectSecurity(service, DACL_SECURITY_INFORMATION, descriptor) != FALSE;
}

}  // namespace

InstallOutcome InstallCompanionService(const std::string& exePath, const std::string& dataFolder,
                                       const PreparedSettings& settings,
                                       bool trustInstallingAccount) {
  std::optional<std::string> me = ProcessAccountSid();
  const std::optional<std::string> serviceSid = ServiceSid(kCompanionServiceName);
  if (!me || !serviceSid)
    return {false, Failure("The accounts of the installation could not be read", GetLastError())};
  // An account trusted by no one: the system's own accounts alone are.
  if (!trustInstallingAccount) me->clear();
  std::string exposed;
  const std::optional<std::string> exe = TrustedExecutable(exePath, *me, exposed);
  if (!exe)
    return {false, "The service was not installed: " + exposed +
                       "; put ShutdownService.exe in a folder that only administrators can "
                       "change, such as Program Files."};
  ScHandle manager(
      OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE));
  if (!manager)
    return {false, Failure("The service manager refused the installation; run it as an "
                           "administrator",
                           GetLastError())};
  // The folder first: no service is registered to read a folder that could not be made safe.
  FolderOutcome folder =
      PrepareDataFolder(dataFolder, settings, RememberedSharedSettings(), *serviceSid, *me);
  if (!folder.failure.empty()) return {false, folder.failure};
  const ScHandle service = RegisterService(manager.Get(), "\"" + *exe + "\"");
  if (!service) return {false, Failure("The service could not be registered", GetLastError())};
  std::vector<std::string> notes = ConfigureService(service.Get());
  notes.insert(notes.end(), folder.notes.begin(), folder.notes.end());
  if (std::string problem = RegisterEventSource(*exe); !problem.empty()) return {false, problem};
  if (!GrantInteractiveUsers(service.Get()))
    return {false,
            Failure("Users could not be given the right to restart the service", GetLastError())};
  StopIfRunning(service.Get());
  if (!StartServiceW(service.Get(), 0, nullptr) && GetLastError() != ERROR_SERVICE_ALREADY_RUNNING)
    return {false, Failure("The service was registered but did not start", GetLastError())};
  if (!WaitForState(service.Get(), SERVICE_RUNNING))
    return {false, "The service was registered but did not report that it runs."};
  std::string message = "The Halcyra Service is installed and running.";
  for (const std::string& note : notes) message += "\n" + note;
  return {true, message};
}

InstallOutcome UninstallCompanionService() {
  ScHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return {false, Failure("The service manager could not be reached", GetLastError())};
  ScHandle service(OpenServiceW(manager.Get(), Wide(kCompanionServiceName).c_str(),
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
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kEventSourceKey, KEY_WOW64_64KEY, 0);
  return {true, "The Halcyra Service is removed. The settings and the log stay."};
}

}  // namespace halcyra
