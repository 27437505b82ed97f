// What both programs do before anything else: libraries come from the system folder only, and
// the redirections that a standard user can plant (junctions, object-manager links) are not
// followed by a process that runs with more rights than that user. Both are looked up at run
// time: Windows 7 without its update KB2533623 lacks the first, and Windows before 10 version
// 2004 the second; a system that lacks them ignores them.
#pragma once

#include <windows.h>

#include "platform/win32/loaded_library_win.h"

namespace halcyra {

inline void HardenProcess() {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  using SetDirectories = BOOL WINAPI(DWORD);
  if (auto* const setDirectories = FunctionOf<SetDirectories>(kernel, "SetDefaultDllDirectories"))
    setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  using SetPolicy = BOOL WINAPI(PROCESS_MITIGATION_POLICY, PVOID, SIZE_T);
  if (auto* const setPolicy = FunctionOf<SetPolicy>(kernel, "SetProcessMitigationPolicy")) {
    PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY trust{};
    trust.EnforceRedirectionTrust = 1;
    setPolicy(ProcessRedirectionTrustPolicy, &trust, sizeof trust);
  }
}

}  // namespace halcyra
