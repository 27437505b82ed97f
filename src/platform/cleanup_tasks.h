// The seven clean-up tasks that can run before an action.
#pragma once

namespace halcyra {

// Each reports nothing, and whatever it cannot remove stays.
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

}  // namespace halcyra
