// What both programs do before anything else: libraries come from the system folder only, and
// the redirections that a standard user can plant (junctions, object-manager links) are not
// followed by a process that runs with more rights than that user. Both are looked up at run
// time: Windows 7 without its update KB2533623 lacks the first, and Windows before 10 version
// 2004 the second; a system that lacks them ignores them.
#pragma once

#include <windows.h>

#include "platform/win32/loaded_library_win.h"

namespace halcyra {

// The redirection half alone, for a library that runs inside a process it does not own (the
// package's custom actions): the library search order there belongs to Windows Installer.
inline void TrustOnlyAdministratorsRedirections() {
  using SetPolicy = BOOL WINAPI(PROCESS_MITIGATION_POLICY, PVOID, SIZE_T);
  if (auto* const setPolicy =
          FunctionOf<SetPolicy>(GetModuleHandleW(L"kernel32.dll"), "SetProcessMitigationPolicy")) {
    PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY trust{};
    trust.EnforceRedirectionTrust = 1;
    setPolicy(ProcessRedirectionTrustPolicy, &trust, sizeof trust);
  }
}

inline void HardenProcess() {
  using SetDirectories = BOOL WINAPI(DWORD);
  if (auto* const setDirectories =
          FunctionOf<SetDirectories>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"))
    setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  TrustOnlyAdministratorsRedirections();
}

}  // namespace halcyra
