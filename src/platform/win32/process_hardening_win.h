// What both programs do before anything else: libraries come from the system folder only, and
// the junctions that a standard user can plant are not followed by a process that runs with
// more rights than that user. Both are looked up at run time: Windows 7 without its update
// KB2533623 lacks the first; the second exists only on Windows 11 and late updates of Windows 10
// 22H2, and covers junctions only, so the program never relies on it alone (the alarm file and
// the shared files are opened without following links all the same).
#pragma once

#include <windows.h>

#include "platform/win32/loaded_library_win.h"

namespace halcyra {

// The redirection half alone, for a library that runs inside a process it does not own (the
// package's custom actions): the library search order there belongs to Windows Installer.
// Whether Windows took it.
inline bool TrustOnlyAdministratorsRedirections() {
  using SetPolicy = BOOL WINAPI(PROCESS_MITIGATION_POLICY, PVOID, SIZE_T);
  auto* const setPolicy =
      FunctionOf<SetPolicy>(GetModuleHandleW(L"kernel32.dll"), "SetProcessMitigationPolicy");
  PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY trust{};
  trust.EnforceRedirectionTrust = 1;
  return setPolicy && setPolicy(ProcessRedirectionTrustPolicy, &trust, sizeof trust) != FALSE;
}

inline constexpr const char* kNoRedirectionTrustText =
    "Windows did not take the redirection-trust mitigation, which only Windows 11 and late "
    "updates of Windows 10 22H2 have: a junction planted by a user is not refused by Windows "
    "for this program. Halcyra opens the alarm file and the shared files without following "
    "links all the same.";

// Whether Windows took the redirection half: a program that can say so says it once a start.
inline bool HardenProcess() {
  using SetDirectories = BOOL WINAPI(DWORD);
  if (auto* const setDirectories =
          FunctionOf<SetDirectories>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"))
    setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  return TrustOnlyAdministratorsRedirections();
}

}  // namespace halcyra
