// A hotkey's action: the same CarryOut as a firing's, at once, with no countdown, no sound and
// nothing to abort. Its own rules: a log line that cannot be written is said before the
// action, and a reboot leaves no stamp.
#pragma once

#include "lang/texts.h"
#include "schedule/tray_firing.h"

namespace halcyra {

inline constexpr Text kLogFailedMessage =
    "Can not log shutdown event. You must be given \"modify\" access to the folder: \"%1\".";

class ImmediateCarryOut final : public CarryOutSink {
 public:
  explicit ImmediateCarryOut(const FiringServices& services) : services_(services) {}

  bool Accepts(const DueTimer&) override { return true; }
  void BeforeLogLine(const SettingsFile& settings) override;
  // The user pressed a key and waits: the failure is said, then the action follows.
  void LogLineFailed() override;
  void AfterLogLine(const SettingsFile&) override {}
  bool StampsReboot() const override { return false; }
  void WriteFailed(const SettingsWriteError&) override {}
  // Also a sleep: the handler returns once the machine is back.
  bool ActsNow(const DueTimer&, bool) override { return true; }
  bool Act(const DueTimer& due) override { return PerformOrSay(services_, due); }

 private:
  FiringServices services_;
};

}  // namespace halcyra
