#include "schedule/immediate_action.h"

#include "app/paths.h"

namespace halcyra {

void ImmediateCarryOut::BeforeLogLine(const SettingsFile& settings) {
  RunCleanupTasks(settings, services_.cleanup);
}

void ImmediateCarryOut::LogLineFailed() {
  services_.app.boxes.Show(Tr(kLogFailedMessage, {GetDataFolder(services_.app.os)}), kAppTitle,
                           mb::kOk | mb::kIconError);
}

}  // namespace halcyra
