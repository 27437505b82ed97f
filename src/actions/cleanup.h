// The clean-up tasks run before an action, each by its flag in the section CleanUp.
#pragma once

#include <array>

#include "app/settings_file.h"
#include "app/settings_keys.h"

namespace halcyra {

// The seven tasks; each reports nothing, and whatever it cannot remove stays.
class CleanupTasks {
 public:
  virtual ~CleanupTasks() = default;
  virtual void EmptyRecycleBin() = 0;
  virtual void ClearTempFolder() = 0;
  virtual void ClearIECache() = 0;
  virtual void ClearIECookies() = 0;
  virtual void ClearIEHistory() = 0;
  virtual void ClearTypedURLs() = 0;
  virtual void ClearRecentDocuments() = 0;
};

// Runs the tasks whose flags are "True", in their fixed order, reading each flag just before
// its task.
void RunCleanupTasks(const SettingsFile& file, CleanupTasks& tasks);

}  // namespace halcyra
