#include "actions/countdown.h"

#include <cmath>

#include "actions/event_words.h"
#include "app/settings_keys.h"
#include "core/text.h"

namespace halcyra {
namespace {

// Messages are handled between the label's updates; the wait is short so that the shown
// seconds stay right and Abort is seen at once, and long enough to leave the processor idle.
constexpr int kLoopWaitMs = 50;

}  // namespace

std::string CountdownText(const std::string& eventWord, std::int64_t seconds) {
  const auto meaning = MeaningOfWord(eventWord);
  const char* verb = meaning ? meaning->verb : MeaningOf(PowerEvent::Suspend).verb;
  return std::string("This computer will ") + verb + " in " + std::to_string(seconds) + " seconds!";
}

std::int64_t CountdownSeconds(const std::string& text) {
  const auto seconds = ParseDecimal(text, kLongestCountdown, LeadingBlanks::Refused);
  return seconds && *seconds > 0 ? *seconds : 0;
}

std::int64_t RoundHalfEven(double value) {
  return static_cast<std::int64_t>(std::nearbyint(value));
}

TFrmNotify::TFrmNotify(const CountdownServices& services, CountdownHost& host,
                       std::string pendingEvent)
    : services_(services), host_(host), pendingEvent_(std::move(pendingEvent)) {
  LblNotify.caption = "This computer will shut down in 1000 seconds!";
  BtnAbort.caption = "Abort";
  BtnAbort.enabled = false;
}

void TFrmNotify::FormCreate() {
  AbortRequested = false;
  BtnAbort.enabled = services_.app.OpenSettings().IsOn(kGeneralSection, kEnableAbortKey);
  Alarm = AlarmState{};
  CountdownStartTime = services_.clock.Now();
  Outcome = CountdownOutcome{};
  Timer1Enabled = true;
}

void TFrmNotify::Timer1Timer() {
  Timer1Enabled = false;
  SettingsFile file = services_.app.OpenSettings();
  StartAlarm(file, services_.alarm, Alarm);
  // Elapsed time comes from the tick count: a clock set forward or back, or a daylight-saving
  // switch, during the count must not end it at once or add an hour to it.
  const std::uint64_t start = services_.clock.TickCount64();
  const std::int64_t duration =
      CountdownSeconds(file.ReadString(kGeneralSection, kDurationKey, "0"));
  const auto elapsed = [&] {
    return static_cast<double>(services_.clock.TickCount64() - start) / 1000;
  };
  if (duration == 0) {
    host_.HideWindow();
  } else {
    while (static_cast<double>(duration) >= elapsed()) {
      host_.ProcessMessages(kLoopWaitMs);
      LblNotify.caption = CountdownText(pendingEvent_, duration - RoundHalfEven(elapsed()));
      if (AbortRequested) {
        CloseAndGoOn(CountdownOutcome::End::Aborted);
        return;
      }
    }
    host_.HideWindow();
  }
  EndSequence(file);
}

void TFrmNotify::CloseAndGoOn(CountdownOutcome::End end) {
  Outcome = {end, CountdownStartTime};
  host_.RequestClose();
}

void TFrmNotify::EndSequence(SettingsFile& file) {
  RunCleanupTasks(file, services_.cleanup);
  if (file.IsOn(kLogSection, kLogEnabledKey)) {
    try {
      AppendEventLine(services_.log, services_.clock.Now(), pendingEvent_);
    } catch (const LogWriteError&) {
      // The countdown's action goes on without its line.
    }
  }
  if (Alarm.AlarmStarted) StopAlarm(file, services_.alarm);

  const auto meaning = MeaningOfWord(pendingEvent_);
  if (!meaning) {
    services_.app.boxes.Show(kUnknownEventMessage, kAppTitle, mb::kOk | mb::kIconInformation);
    CloseAndGoOn(CountdownOutcome::End::GoingOn);
    return;
  }
  if (meaning->event == PowerEvent::Reboot) {
    try {
      file.WriteDateTime(kLogSection, kLastRebootTimeKey, EncodeDateTime(services_.clock.Now()));
    } catch (const SettingsWriteError&) {
      // Without the stamp (a standard user under the read-only lock) a reboot timer of this
      // minute would fire again when the machine is back within it: the reboot waits for the
      // next minute instead.
      WaitForTheNextMinute();
    }
  }
  if (meaning->programGoesOn) {
    CloseAndGoOn(CountdownOutcome::End::GoingOn);
    Outcome.sleep = [&power = services_.power, &boxes = services_.app.boxes,
                     action = meaning->action] {
      // A sleep state the machine does not allow, or that fails, must not pass in silence.
      if (!action(power))
        boxes.Show(kActionRefusedMessage, kAppTitle, mb::kOk | mb::kIconInformation);
    };
    return;
  }
  // Windows ends the program after an accepted exit; a refused one must not leave the
  // schedule stopped for the rest of the run.
  if (!meaning->action(services_.power)) {
    services_.app.boxes.Show(kActionRefusedMessage, kAppTitle, mb::kOk | mb::kIconInformation);
    CloseAndGoOn(CountdownOutcome::End::GoingOn);
  }
}

void TFrmNotify::WaitForTheNextMinute() {
  const LocalTime started = CountdownStartTime;
  const auto sameMinute = [&started](const LocalTime& t) {
    return t.year == started.year && t.month == started.month && t.day == started.day &&
           t.hour == started.hour && t.minute == started.minute;
  };
  const std::uint64_t start = services_.clock.TickCount64();
  while (sameMinute(services_.clock.Now()) && services_.clock.TickCount64() - start <= 60000)
    host_.ProcessMessages(kLoopWaitMs);
}

void TFrmNotify::BtnAbortClick() {
  const SettingsFile file = services_.app.OpenSettings();
  if (file.IsOn(kSoundSection, kSoundEnabledKey) &&
      services_.alarm.player.Playable(file.ReadString(kSoundSection, kSoundPathKey)))
    StopAlarmSound(file, services_.alarm);
  AbortRequested = true;
}

void TFrmNotify::CloseClicked() {
  if (BtnAbort.enabled) BtnAbortClick();
}

void TFrmNotify::FormClose() {
  if (Alarm.SavedVolume != 0) services_.alarm.mixer.SetMasterVolume(Alarm.SavedVolume);
}

}  // namespace halcyra
