// ShutdownService.exe as the service manager runs it: the status reports, the controls, and
// a look at the schedule whenever one of its timers can fall due or the data folder changes,
// until a stop request.
#pragma once

namespace halcyra {

// Connects to the service manager and returns when the service has stopped; false when the
// program was not started by the service manager. Without the redirection trust the service
// says so in the event log as it starts.
bool RunAsService(bool redirectionsTrusted);

}  // namespace halcyra
