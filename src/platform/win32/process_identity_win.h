// Who runs at the other end of the one-off pipe: the user, session and integrity level of a
// token, read from this process, from a pipe's client while impersonating it, and from a pipe's
// server process. Anything that cannot be read gives no identity, which the rules refuse.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "core/peer_identity.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/sid_text_win.h"

namespace halcyra {

// A token's information of one class, in a buffer of the size Windows asks for.
inline std::vector<BYTE> TokenInformationOf(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
  DWORD size = 0;
  GetTokenInformation(token, kind, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  if (size == 0 || !GetTokenInformation(token, kind, buffer.data(), size, &size)) return {};
  return buffer;
}

inline std::optional<PeerIdentity> IdentityOfToken(HANDLE token, DWORD session) {
  const std::vector<BYTE> user = TokenInformationOf(token, TokenUser);
  const std::vector<BYTE> label = TokenInformationOf(token, TokenIntegrityLevel);
  if (user.empty() || label.empty()) return std::nullopt;
  const PSID level = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
  const UCHAR count = *GetSidSubAuthorityCount(level);
  if (count == 0) return std::nullopt;
  PeerIdentity identity;
  identity.userSid = SidText(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid);
  identity.session = session;
  identity.integrity = *GetSidSubAuthority(level, count - 1u);
  if (identity.userSid.empty()) return std::nullopt;
  return identity;
}

inline std::optional<PeerIdentity> ProcessIdentity(HANDLE process, DWORD processId) {
  HANDLE raw = nullptr;
  DWORD session = 0;
  if (!ProcessIdToSessionId(processId, &session) || !OpenProcessToken(process, TOKEN_QUERY, &raw))
    return std::nullopt;
  const UniqueHandle token(raw);
  return IdentityOfToken(token.Get(), session);
}

inline std::optional<PeerIdentity> OwnIdentity() {
  return ProcessIdentity(GetCurrentProcess(), GetCurrentProcessId());
}

// The connected client of a pipe, read from its own token while this thread impersonates it:
// not by its process number, which may be another process's by the time it is looked up.
inline std::optional<PeerIdentity> PipeClientIdentity(HANDLE pipe) {
  ULONG session = 0;
  if (!GetNamedPipeClientSessionId(pipe, &session) || !ImpersonateNamedPipeClient(pipe))
    return std::nullopt;
  HANDLE raw = nullptr;
  const BOOL opened = OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &raw);
  // Back to this process's own rights before anything else runs on the thread.
  if (!RevertToSelf()) ExitProcess(1);
  if (!opened) return std::nullopt;
  const UniqueHandle token(raw);
  return IdentityOfToken(token.Get(), session);
}

// The process that serves a pipe this program connected to.
inline std::optional<PeerIdentity> PipeServerIdentity(HANDLE pipe) {
  ULONG processId = 0;
  if (!GetNamedPipeServerProcessId(pipe, &processId)) return std::nullopt;
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return std::nullopt;
  return ProcessIdentity(process.Get(), processId);
}

}  // namespace halcyra
