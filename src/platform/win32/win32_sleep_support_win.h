// Sleep support through the power-management functions and a power request.
#pragma once

#include <optional>
#include <string>

#include "platform/sleep_support.h"
#include "platform/win32/handle_win.h"

namespace halcyra {

class Win32SleepSupport final : public SleepSupport {
 public:
  // The data folder is where the end-to-end build finds the capabilities a test sets.
  explicit Win32SleepSupport(std::string dataFolder) : dataFolder_(std::move(dataFolder)) {}
  std::optional<PowerCapabilities> Capabilities() const override;
  void KeepAwake(const std::string& reason) override;
  void LetSleep() override;

 private:
  std::string dataFolder_;
  UniqueHandle request_;
  bool threadState_ = false;
};

// The machine's capabilities as the system reports them (GetPwrCapabilities).
std::optional<PowerCapabilities> SystemPowerCapabilities();

}  // namespace halcyra
