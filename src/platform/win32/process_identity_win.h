// Who runs the process behind a window: requests between the programs are taken only from the
// same user in the same session.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/win32/handle_win.h"

namespace halcyra {

// The user SID of a process's token as bytes; empty when it cannot be read.
inline std::vector<BYTE> TokenUserOf(HANDLE process) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &raw)) return {};
  const UniqueHandle token(raw);
  DWORD size = 0;
  GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (size == 0 || !GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size))
    return {};
  const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
  const BYTE* bytes = static_cast<const BYTE*>(sid);
  return std::vector<BYTE>(bytes, bytes + GetLengthSid(sid));
}

// The window belongs to a process of this user in this session; anything not known is no.
inline bool SameUserAndSession(HWND window) {
  DWORD processId = 0, theirs = 0, ours = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == 0 || !ProcessIdToSessionId(processId, &theirs) ||
      !ProcessIdToSessionId(GetCurrentProcessId(), &ours) || theirs != ours)
    return false;
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return false;
  const std::vector<BYTE> user = TokenUserOf(process.Get());
  return !user.empty() && user == TokenUserOf(GetCurrentProcess());
}

}  // namespace halcyra
