// A firing in the tray program: the countdown window, its alarm and "Abort", then the end
// sequence (clean-up, log line, alarm stopped, reboot stamp, action) through the same
// CarryOut as the service's, with the tray's own ways: its clean-up tasks, silent log
// failures, messages for what Windows refused, a reboot held until its stamp cannot mislead,
// and sleep states asked for from the main loop once the countdown has closed.
#pragma once

#include <functional>
#include <optional>

#include "actions/cleanup.h"
#include "actions/countdown.h"
#include "actions/event_log.h"
#include "actions/power_actions.h"
#include "platform/sleep_support.h"
#include "schedule/carry_out.h"
#include "schedule/firing.h"

namespace halcyra {

// What a firing shows, and asks of the program's main loop.
class FiringHost {
 public:
  virtual ~FiringHost() = default;
  // Shows the countdown window for this logic above all others; the program's windows take
  // no input until it closes.
  virtual void OpenCountdown(TFrmNotify& countdown) = 0;
  // Mirrors the countdown's label and button onto its window.
  virtual void SyncCountdown() = 0;
  virtual void HideCountdown() = 0;
  virtual void CloseCountdown() = 0;
  // Runs the action from the main loop once the running handler has returned.
  virtual void Post(std::function<void()> action) = 0;
};

struct FiringServices {
  const AppServices& app;
  const Clock& clock;
  AlarmServices alarm;
  CleanupTasks& cleanup;
  EventLogServices log;
  PowerServices power;
  SleepSupport& sleep;
};

// Asks for the action; a word that names none and an action Windows refused are said in a
// message. False when it was not carried out.
bool PerformOrSay(const FiringServices& services, const DueTimer& due);

// The tray's side of CarryOut.
class TrayCarryOut final : public CarryOutSink {
 public:
  // `countdown` is the firing's, for its alarm; none when only the action is left.
  TrayCarryOut(const FiringServices& services, TFrmNotify* countdown)
      : services_(services), countdown_(countdown) {}

  // ActsNow said later because the action sleeps: it comes from the main loop.
  bool Posted() const { return posted_; }

  bool Accepts(const DueTimer&) override { return true; }
  void BeforeLogLine(const SettingsFile& settings) override;
  // The action goes on without its line.
  void LogLineFailed() override {}
  void AfterLogLine(const SettingsFile& settings) override;
  void WriteFailed(const SettingsWriteError&) override {}
  bool ActsNow(const DueTimer& due, bool rebootStampWritten) override;
  bool Act(const DueTimer& due) override { return PerformOrSay(services_, due); }

 private:
  FiringServices services_;
  TFrmNotify* countdown_;
  bool posted_ = false;
};

class TrayFiring {
 public:
  // Opens the countdown; the machine is held awake until the firing is over: a timer that
  // fired after a wake-up must get to its action.
  TrayFiring(const FiringServices& services, FiringHost& host, DueTimer due);
  TrayFiring(const TrayFiring&) = delete;
  TrayFiring& operator=(const TrayFiring&) = delete;

  // One tick; the end once the firing is over. The countdown window has closed then, except
  // after an exit that Windows accepted: it stays hidden until Windows ends the program.
  std::optional<Firing::End> Advance();
  // The program ends: a countdown still open closes as at any other end, the saved volume put
  // back.
  void ProgramEnds();
  const LocalTime& StartedAt() const { return firing_.StartedAt(); }
  TFrmNotify& Countdown() { return countdown_; }
  bool Once() { return firing_.Due().once; }

 private:
  std::optional<Firing::End> After(CarryOutEnd end, const TrayCarryOut& sink, std::uint64_t tick);
  Firing::End Close(Firing::End end);

  FiringServices services_;
  FiringHost& host_;
  Firing firing_;
  TFrmNotify countdown_;
  std::optional<AwakeWhileAlive> awake_;
  bool closed_ = false;
};

}  // namespace halcyra
