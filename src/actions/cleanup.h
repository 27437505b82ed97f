// The clean-up tasks run before an action, each by its flag in the section CleanUp.
#pragma once

#include <array>

#include "app/settings_file.h"
#include "app/settings_keys.h"
#include "platform/cleanup_tasks.h"

namespace halcyra {

// Runs the tasks whose flags are "True", in their fixed order, reading each flag just before
// its task.
void RunCleanupTasks(const SettingsFile& file, CleanupTasks& tasks);

}  // namespace halcyra
