#include "service/logged_on.h"

namespace halcyra {

bool SomeoneLoggedOn(const SessionList& sessions) {
  const auto ids = sessions.Sessions();
  if (!ids) return true;
  for (const unsigned id : *ids) {
    const auto user = sessions.UserOf(id);
    if (!user || !user->empty()) return true;
  }
  return false;
}

}  // namespace halcyra
