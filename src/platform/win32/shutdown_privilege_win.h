// The one way both programs enable the shutdown privilege in their own token.
#pragma once

#include <windows.h>

#include "platform/win32/handle_win.h"

namespace halcyra {

// True only when the token holds the privilege and it is now enabled: AdjustTokenPrivileges
// succeeds also for a privilege the token lacks, and says so only in the last error.
inline bool EnableShutdownPrivilegeOfProcess() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw))
    return false;
  const UniqueHandle token(raw);
  TOKEN_PRIVILEGES request{};
  request.PrivilegeCount = 1;
  request.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  return LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &request.Privileges[0].Luid) &&
         AdjustTokenPrivileges(token.Get(), FALSE, &request, 0, nullptr, nullptr) &&
         GetLastError() != ERROR_NOT_ALL_ASSIGNED;
}

}  // namespace halcyra
