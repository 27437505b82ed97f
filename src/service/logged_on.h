// Whether the companion service must leave the machine alone because somebody uses it.
#pragma once

#include "platform/service_host.h"

namespace halcyra {

// A session with a user name. The service powers off machines that nobody uses, so anything it
// cannot read counts as a user: it never acts on a machine it could not tell was empty.
bool SomeoneLoggedOn(const SessionList& sessions);

}  // namespace halcyra
