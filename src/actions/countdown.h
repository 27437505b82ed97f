// The behaviour of the countdown window "TFrmNotify": it announces the fired timer's action,
// counts down by the clock with an optional alarm and "Abort", then runs the clean-up, the
// log line and the action.
#pragma once

#include <cstdint>
#include <string>

#include "actions/alarm.h"
#include "actions/cleanup.h"
#include "actions/countdown_outcome.h"
#include "actions/event_log.h"
#include "actions/power_actions.h"
#include "app/app_services.h"
#include "platform/clock.h"
#include "toolkit/controls.h"

namespace halcyra {

inline constexpr const char* kUnknownEventMessage = "Unknown shutdown event.";
inline constexpr const char* kActionRefusedMessage =
    "Windows did not carry out the scheduled action. The schedule goes on.";
// The longest countdown: a day. A longer or unreadable Duration must never count for ages.
inline constexpr std::int64_t kLongestCountdown = 86400;

// "This computer will power off in 5 seconds!" and its siblings; any other word suspends.
std::string CountdownText(const std::string& eventWord, std::int64_t seconds);
// The countdown length from the Duration text: a whole decimal number of seconds, held to 0
// to a day; anything else counts as 0, like an absent value.
std::int64_t CountdownSeconds(const std::string& durationText);
// Rounds to the nearest integer, halves to the even neighbour.
std::int64_t RoundHalfEven(double value);

// What the countdown needs of its window.
class CountdownHost {
 public:
  virtual ~CountdownHost() = default;
  // Handles the pending window messages, waiting at most this long for one to arrive.
  virtual void ProcessMessages(int maxWaitMs) = 0;
  virtual void HideWindow() = 0;
  // The window closes when the running handler has returned.
  virtual void RequestClose() = 0;
};

struct CountdownServices {
  const AppServices& app;
  const Clock& clock;
  const AlarmServices& alarm;
  CleanupTasks& cleanup;
  const EventLogServices& log;
  const PowerServices& power;
};

class TFrmNotify {
 public:
  TFrmNotify(const CountdownServices& services, CountdownHost& host, std::string pendingEvent);

  Label LblNotify;
  Button BtnAbort;
  bool Timer1Enabled = false;

  bool AbortRequested = false;
  AlarmState Alarm;
  LocalTime CountdownStartTime;
  // What the window's closing hands back to the schedule.
  CountdownOutcome Outcome;

  void FormCreate();
  // The one tick of the window's timer, 100 ms after it appeared: the whole countdown.
  void Timer1Timer();
  void BtnAbortClick();
  // The frame's close button during the count: an "Abort" when that button is enabled.
  void CloseClicked();
  void FormClose();

 private:
  void EndSequence(SettingsFile& file);
  // Until the minute in which the countdown started is over, by the clock, and a minute of the
  // tick count at most.
  void WaitForTheNextMinute();
  // Closes the window with the program running on after it.
  void CloseAndGoOn(CountdownOutcome::End end);

  CountdownServices services_;
  CountdownHost& host_;
  std::string pendingEvent_;
};

}  // namespace halcyra
