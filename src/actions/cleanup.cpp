#include "actions/cleanup.h"

#include "app/settings.h"

namespace halcyra {

void RunCleanupTasks(const SettingsFile& file, CleanupTasks& tasks) {
  using Task = void (CleanupTasks::*)();
  static constexpr std::array<Task, 7> kTasks = {
      &CleanupTasks::EmptyRecycleBin,     &CleanupTasks::ClearTempFolder,
      &CleanupTasks::ClearIECache,        &CleanupTasks::ClearIECookies,
      &CleanupTasks::ClearIEHistory,      &CleanupTasks::ClearTypedURLs,
      &CleanupTasks::ClearRecentDocuments};
  for (std::size_t i = 0; i < kTasks.size(); ++i)
    if (CleanupTaskOn(file, i)) (tasks.*kTasks[i])();
}

}  // namespace halcyra
