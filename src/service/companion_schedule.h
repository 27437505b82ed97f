// The companion service's schedule: the tray program's timers and rules, kept while nobody
// runs the tray program. It reads the [Timer] section at its start and again whenever the
// settings file changes, arms a wake-up timer per eligible timer, and carries out an action only
// when nobody is logged on: a tray program runs only in a user's session and then owns the
// schedule, and without it nothing is forced on the user's session. It opens the shared files
// only after they passed the link checks of file_trust.h.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/policies.h"
#include "platform/clock.h"
#include "platform/ini_profile.h"
#include "platform/os_info.h"
#include "platform/regional_settings.h"
#include "platform/service_host.h"
#include "platform/sleep_support.h"
#include "platform/text_files.h"
#include "platform/wake_timers.h"
#include "schedule/carry_out.h"
#include "schedule/due_timer.h"
#include "schedule/timer_record.h"

namespace halcyra {

struct CompanionServices {
  const OsInfo& os;
  IniProfile& ini;
  const RegionalSettings& regional;
  const Clock& clock;
  WakeTimers& wakeTimers;
  SleepSupport& sleep;
  const SessionList& sessions;
  const FileInspector& inspector;
  const FileStamps& stamps;
  ServicePower& power;
  TextFiles& files;
  SystemLog& log;
  // The machine's policies: the service acts when no user, with a user's policies, is there.
  PolicyWatch& policies;
};

class CompanionSchedule final : private CarryOutSink {
 public:
  explicit CompanionSchedule(const CompanionServices& services) : services_(services) {}

  // Loads the timers and arms their wake-up timers.
  void Start();
  // At the start, when a timer's minute begins and when the data folder changed: a changed file
  // is read again, then the first due timer is handled.
  void Tick();
  // Cancels every wake-up timer, as the service stops.
  void Stop() { timers_.clear(); }

  const std::vector<TTimerRecord>& Timers() const { return timers_; }

 private:
  void Reload();
  void Handle(DueTimer& due, const LocalTime& now);
  // The service's side of CarryOut: event-log lines for what it declines or what failed; no
  // clean-up and no alarm, and the action at once.
  bool Accepts(const DueTimer& due) override;
  void BeforeLogLine(const SettingsFile&) override {}
  void LogLineFailed() override;
  void AfterLogLine(const SettingsFile&) override {}
  void WriteFailed(const SettingsWriteError& error) override;
  bool ActsNow(const DueTimer&, bool) override { return true; }
  bool Act(const DueTimer& due) override;
  SettingsFile Settings() const;
  // Empty when the settings file and the log may be opened; else the reason, also written to
  // the Windows event log when it differs from the last one written.
  std::string Refusal(bool withLog);

  CompanionServices services_;
  std::vector<TTimerRecord> timers_;
  std::optional<FileStamp> loaded_;
  // The last minute in which a due timer was handled (acted on or passed over); year 0: none.
  LocalTime lastHandled_{};
  std::string lastRefusal_;
  // Whether the last reload found the settings file held by another program (said once).
  bool held_ = false;
};

}  // namespace halcyra
