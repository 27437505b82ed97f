#include "actions/countdown.h"

#include <cctype>
#include <cmath>

namespace halcyra {
namespace {

// Messages are handled between the label's updates; the wait is short so that the shown
// seconds stay right and Abort is seen at once, and long enough to leave the processor idle.
constexpr int kLoopWaitMs = 50;

}  // namespace

std::string CountdownText(const std::string& eventWord, std::int64_t seconds) {
  const char* verb = "suspend";
  if (eventWord == "Shutdown") verb = "shut down";
  else if (eventWord == "Power off") verb = "power off";
  else if (eventWord == "Log off") verb = "log off";
  else if (eventWord == "Reboot") verb = "reboot";
  else if (eventWord == "Hibernate") verb = "hibernate";
  return std::string("This computer will ") + verb + " in " + std::to_string(seconds) +
         " seconds!";
}

std::int64_t CountdownSeconds(const std::string& text) {
  if (text.empty()) return 0;
  std::size_t i = 0;
  bool negative = false;
  if (text[0] == '-' || text[0] == '+') {
    negative = text[0] == '-';
    i = 1;
  }
  if (i == text.size()) return 0;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return 0;
    value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), kLongestCountdown);
  }
  return negative ? 0 : value;
}

std::int64_t RoundHalfEven(double value) { return static_cast<std::int64_t>(std::nearbyint(value)); }

TFrmNotify::TFrmNotify(const CountdownServices& services, CountdownHost& host,
                       std::string pendingEvent)
    : services_(services), host_(host), pendingEvent_(std::move(pendingEvent)) {
  LblNotify.caption = "This computer will shut down in 1000 seconds!";
  BtnAbort.caption = "Abort";
  BtnAbort.enabled = false;
}

void TFrmNotify::FormCreate() {
  AbortRequested = false;
  BtnAbort.enabled = services_.app.OpenSettings().IsOn("General", "EnableAbort");
  Alarm = AlarmState{};
  CountdownStartTime = services_.clock.Now();
  Timer1Enabled = true;
}

void TFrmNotify::Timer1Timer() {
  Timer1Enabled = false;
  SettingsFile file = services_.app.OpenSettings();
  StartAlarm(file, services_.alarm, Alarm);
  const DateTime start = EncodeDateTime(services_.clock.Now());
  const std::int64_t duration = CountdownSeconds(file.ReadString("General", "Duration", "0"));
  const auto elapsed = [&] {
    return (EncodeDateTime(services_.clock.Now()) - start) * 24 * 60 * 60;
  };
  if (duration == 0) {
    host_.HideWindow();
  } else {
    while (static_cast<double>(duration) >= elapsed()) {
      host_.ProcessMessages(kLoopWaitMs);
      LblNotify.caption =
          CountdownText(pendingEvent_, duration - RoundHalfEven(elapsed()));
      if (AbortRequested) {
        AbortPath();
        return;
      }
    }
    host_.HideWindow();
  }
  EndSequence(file);
}

void TFrmNotify::AbortPath() {
  services_.app.state.lastHandled = CountdownStartTime;
  host_.EnableScheduleTick();
  host_.RequestClose();
}

void TFrmNotify::ResumeSchedule() {
  services_.app.state.lastHandled = CountdownStartTime;
  host_.EnableScheduleTick();
  host_.RequestClose();
}

void TFrmNotify::EndSequence(SettingsFile& file) {
  RunCleanupTasks(file, services_.cleanup);
  if (file.IsOn("Log", "Enabled")) {
    try {
      AppendEventLine(services_.log, services_.clock.Now(), pendingEvent_);
    } catch (const LogWriteError&) {
      // The countdown's action goes on without its line.
    }
  }
  if (Alarm.AlarmStarted) StopAlarm(file, services_.alarm);

  const PowerServices& power = services_.power;
  bool accepted = true;
  if (pendingEvent_ == "Shutdown") {
    accepted = ShutdownWindows(power);
  } else if (pendingEvent_ == "Power off") {
    accepted = PowerOffComputer(power);
  } else if (pendingEvent_ == "Log off") {
    accepted = LogOffUser(power);
  } else if (pendingEvent_ == "Reboot") {
    try {
      file.WriteDateTime("Log", "LastRebootTime", EncodeDateTime(services_.clock.Now()));
    } catch (const SettingsWriteError&) {
      // Without the stamp the reboot still happens; the timer may fire again after it.
    }
    accepted = RebootComputer(power);
  } else if (pendingEvent_ == "Hibernate" || pendingEvent_ == "Suspend") {
    // Recorded as handled, so that a resume within the same minute does not fire it again.
    ResumeSchedule();
    if (pendingEvent_ == "Hibernate") HibernateComputer(power);
    else SuspendComputer(power);
    return;
  } else {
    services_.app.boxes.Show(kUnknownEventMessage, kAppTitle, mb::kOk | mb::kIconInformation);
    ResumeSchedule();
    return;
  }
  // Windows ends the program after an accepted exit; a refused one must not leave the
  // schedule stopped for the rest of the run.
  if (!accepted) {
    services_.app.boxes.Show(kActionRefusedMessage, kAppTitle, mb::kOk | mb::kIconInformation);
    ResumeSchedule();
  }
}

void TFrmNotify::BtnAbortClick() {
  const SettingsFile file = services_.app.OpenSettings();
  if (file.IsOn("Sound", "Enabled") && services_.alarm.files.Exists(file.ReadString("Sound", "SoundPath")))
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
