// The companion service through the service control manager.
#pragma once

#include <string>

#include "platform/service_control.h"
#include "platform/service_names.h"

namespace halcyra {

class Win32ServiceControl final : public ServiceControl {
 public:
  // The folder of the program's executable, where "ShutdownService.exe" lies.
  explicit Win32ServiceControl(std::string programFolder)
      : programFolder_(std::move(programFolder)) {}
  void StopCompanionService() override;
  void StartCompanionService() override;
  void Pause(int milliseconds) override;

 private:
  std::string programFolder_;
};

// The installation command: the quoted service executable and " /INSTALL /SILENT".
std::string ServiceInstallCommand(const std::string& programFolder);

}  // namespace halcyra
