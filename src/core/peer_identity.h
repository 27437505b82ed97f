// Who is at the other end of the one-off channel between HalcyraCmd and the tray program: a
// named pipe per user and session, whose two ends each check the other before a word is taken.
#pragma once

#include <optional>
#include <string>

namespace halcyra {

// A process's (or a pipe end's) token as far as the channel cares.
struct PeerIdentity {
  std::string userSid;     // "S-1-5-21-...": empty when it could not be read
  unsigned session = 0;    // the logon session's number
  unsigned integrity = 0;  // the mandatory label's level: 0x2000 medium, 0x3000 high
};

inline constexpr unsigned kMediumIntegrity = 0x2000;

// "\\.\pipe\Halcyra-<session>-<user SID>": the tray program's name for its own user and session.
std::string OneOffPipeName(const PeerIdentity& self);

// The tray program takes a request only from its own user in its own session at its own
// integrity level or above: a sandboxed process of the same user (a browser's renderer, a
// document viewer) runs lower and must not power the machine off.
bool ClientTrusted(const PeerIdentity& server, const std::optional<PeerIdentity>& client);

// Why the tray program or HalcyraCmd must not run for this account, or empty when it may. A
// service account (LocalSystem, LocalService, NetworkService) or a process of session 0, where
// no user works, would fire every user's timers and clean up folders every user may write with
// rights no user has; an identity that could not be read counts as one.
std::string ServiceAccountRefusal(const std::optional<PeerIdentity>& self);

// HalcyraCmd talks only to a server of its own user in its own session, at the medium level or
// its own if lower: anyone may create a pipe name first, and a squatter's made-up answer would
// tell a script that its action is pending.
bool ServerTrusted(const PeerIdentity& self, const std::optional<PeerIdentity>& server);

}  // namespace halcyra
