// The behaviour of the countdown window "TFrmNotify": it announces the fired timer's action,
// shows the seconds left with an optional alarm and "Abort". The firing it belongs to says
// when to count and when the count is over.
#pragma once

#include <cstdint>
#include <string>

#include "actions/alarm.h"
#include "actions/event_words.h"
#include "app/app_services.h"
#include "lang/texts.h"
#include "platform/clock.h"
#include "toolkit/controls.h"

namespace halcyra {

inline constexpr Text kUnknownEventMessage = "Unknown shutdown event.";
inline constexpr Text kActionRefusedMessage =
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

struct CountdownServices {
  const AppServices& app;
  const Clock& clock;
  AlarmServices alarm;
};

class TFrmNotify {
 public:
  TFrmNotify(const CountdownServices& services, EventWord event);

  Label LblNotify;
  Button BtnAbort;

  bool AbortRequested = false;
  AlarmState Alarm;
  LocalTime CountdownStartTime;

  void FormCreate();
  // The count begins: the alarm starts, then the countdown's length is read; returns it.
  std::int64_t StartCount();
  void ShowSecondsLeft(std::int64_t seconds);
  // In the end sequence, after the log line.
  void StopAlarmIfStarted(const SettingsFile& file);
  void BtnAbortClick();
  // The frame's close button during the count: an "Abort" when that button is enabled.
  void CloseClicked();
  void FormClose();
  const EventWord& Event() const { return event_; }

 private:
  CountdownServices services_;
  EventWord event_;
};

}  // namespace halcyra
