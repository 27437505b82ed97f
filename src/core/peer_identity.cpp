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

std::string ServiceAccountRefusal(const std::optional<PeerIdentity>& self) {
  if (!self || self->userSid.empty()) return "its own account could not be read";
  if (self->userSid == "S-1-5-18") return "it runs as LocalSystem";
  if (self->userSid == "S-1-5-19") return "it runs as LocalService";
  if (self->userSid == "S-1-5-20") return "it runs as NetworkService";
  if (self->session == 0) return "it runs in session 0, where no user works";
  return "";
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
