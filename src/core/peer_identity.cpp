#include "core/peer_identity.h"

#include <algorithm>

namespace halcyra {
namespace {

// An identity that could not be read is nobody's: the unsafe case.
bool SameUserAndSession(const PeerIdentity& self, const std::optional<PeerIdentity>& other) {
  return other && !self.userSid.empty() && other->userSid == self.userSid &&
         other->session == self.session;
}

}  // namespace

std::string OneOffPipeName(const PeerIdentity& self) {
  return "\\\\.\\pipe\\Halcyra-" + std::to_string(self.session) + "-" + self.userSid;
}

bool ClientTrusted(const PeerIdentity& server, const std::optional<PeerIdentity>& client) {
  return SameUserAndSession(server, client) && client->integrity >= server.integrity;
}

bool ServerTrusted(const PeerIdentity& self, const std::optional<PeerIdentity>& server) {
  // A sandboxed process of the user may squat the name before the tray program starts; an
  // elevated HalcyraCmd still talks to the user's ordinary tray program.
  return SameUserAndSession(self, server) &&
         server->integrity >= std::min(self.integrity, kMediumIntegrity);
}

}  // namespace halcyra
