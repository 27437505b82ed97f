// The seven clean-up tasks on Windows, and the process helper they share.
#pragma once

#include <windows.h>

#include <string>

#include "platform/cleanup_tasks.h"
#include "platform/message_box.h"

namespace halcyra {

class Win32CleanupTasks final : public CleanupTasks {
 public:
  explicit Win32CleanupTasks(MessageBoxes& boxes) : boxes_(boxes) {}
  // The window that owns the recycle bin's (suppressed) user interface.
  void SetOwner(HWND owner) { owner_ = owner; }

  void EmptyRecycleBin() override;
  void ClearTempFolder() override;
  void ClearIECache() override;
  void ClearIECookies() override;
  void ClearIEHistory() override;
  void ClearTypedURLs() override;
  void ClearRecentDocuments() override;

 private:
  MessageBoxes& boxes_;
  HWND owner_ = nullptr;
};

// Ends every process whose executable has that file name, in any letter case; whether the
// last termination succeeded (false when none matched).
bool TerminateProcessesByName(const std::string& exeName);

}  // namespace halcyra
