// The SIDs the installation grants and trusts: the service's own ("NT SERVICE\<name>"), which
// exists before the service does, and the account that runs the installation.
#pragma once

#include <optional>
#include <string>

namespace halcyra {

// "S-1-5-80-" and the SHA-1 digest of the service's name in capitals (UTF-16), as five decimal
// numbers: the way Windows derives a service's SID, so it can be granted before the service is
// registered. nullopt when no digest can be made.
std::optional<std::string> ServiceSid(const std::string& serviceName);

// The user of this process's token as a SID string; nullopt when it cannot be read.
std::optional<std::string> ProcessAccountSid();

}  // namespace halcyra
