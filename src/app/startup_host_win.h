// Start-up's view of Windows: the named mutex, the hand-over to a running instance, the
// files, and the main window with its message loop.
#pragma once

#include <windows.h>

#include "app/startup.h"

namespace halcyra {

inline constexpr const char* kInstanceMutexName = "QMV_Halcyra";

class Win32StartupHost final : public StartupHost {
 public:
  explicit Win32StartupHost(const AppServices& services) : services_(services) {}

  bool InstanceAlreadyRunning() override;
  void AskRunningInstanceToShow() override;
  bool FileExists(const std::string& path) const override;
  std::string ExecutablePath() const override;
  int RunMainWindow(bool show) override;

 private:
  const AppServices& services_;
};

}  // namespace halcyra
