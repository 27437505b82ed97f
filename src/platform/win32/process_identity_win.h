// Who runs at the other end of the one-off pipe: the user, session and integrity level of a
// token, read from this process, from a pipe's client while impersonating it, and from a pipe's
// server process. Anything that cannot be read gives no identity, which the rules refuse.
#pragma once

#include <windows.h>

#include <aclapi.h>

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

// The session is the token's own, not one looked up by a process number.
inline std::optional<PeerIdentity> IdentityOfToken(HANDLE token) {
  const std::vector<BYTE> user = TokenInformationOf(token, TokenUser);
  const std::vector<BYTE> label = TokenInformationOf(token, TokenIntegrityLevel);
  DWORD session = 0, size = 0;
  if (user.empty() || label.empty() ||
      !GetTokenInformation(token, TokenSessionId, &session, sizeof session, &size))
    return std::nullopt;
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

inline std::optional<PeerIdentity> ProcessIdentity(HANDLE process) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &raw)) return std::nullopt;
  const UniqueHandle token(raw);
  return IdentityOfToken(token.Get());
}

inline std::optional<PeerIdentity> OwnIdentity() { return ProcessIdentity(GetCurrentProcess()); }

// The connected client of a pipe, read from its own token while this thread impersonates it:
// not by its process number, which may be another process's by the time it is looked up.
inline std::optional<PeerIdentity> PipeClientIdentity(HANDLE pipe) {
  if (!ImpersonateNamedPipeClient(pipe)) return std::nullopt;
  HANDLE raw = nullptr;
  const BOOL opened = OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &raw);
  // Back to this process's own rights before anything else runs on the thread.
  if (!RevertToSelf()) ExitProcess(1);
  if (!opened) return std::nullopt;
  const UniqueHandle token(raw);
  return IdentityOfToken(token.Get());
}

// The pipe object's own owner and mandatory level, which no process number stands between (the
// server's process number is the creator's, whose number may be another process's by now). A
// pipe without a label has Windows' default for objects, medium. The session is the caller's.
inline std::optional<PeerIdentity> PipeObjectIdentity(HANDLE pipe, unsigned session) {
  PSID owner = nullptr;
  PACL labels = nullptr;
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (GetSecurityInfo(pipe, SE_KERNEL_OBJECT,
                      OWNER_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION, &owner, nullptr,
                      nullptr, &labels, &raw) != ERROR_SUCCESS)
    return std::nullopt;
  const UniqueLocal descriptor(raw);
  PeerIdentity identity{SidText(owner), session, kMediumIntegrity};
  for (WORD i = 0; labels && i < labels->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(labels, i, &ace) ||
        static_cast<ACE_HEADER*>(ace)->AceType != SYSTEM_MANDATORY_LABEL_ACE_TYPE)
      continue;
    const PSID level = &static_cast<SYSTEM_MANDATORY_LABEL_ACE*>(ace)->SidStart;
    const UCHAR count = *GetSidSubAuthorityCount(level);
    if (count == 0) return std::nullopt;
    identity.integrity = *GetSidSubAuthority(level, count - 1u);
  }
  if (identity.userSid.empty()) return std::nullopt;
  return identity;
}

// The process that serves a pipe this program connected to.
inline std::optional<PeerIdentity> PipeServerIdentity(HANDLE pipe) {
  ULONG processId = 0;
  if (!GetNamedPipeServerProcessId(pipe, &processId)) return std::nullopt;
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return std::nullopt;
  return ProcessIdentity(process.Get());
}

}  // namespace halcyra
