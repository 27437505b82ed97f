#include "actions/countdown.h"

#include <algorithm>
#include <cmath>

#include "app/policies.h"
#include "app/settings.h"
#include "core/text.h"
#include "lang/texts.h"

namespace halcyra {

std::string CountdownText(const std::string& eventWord, std::int64_t seconds) {
  const auto meaning = MeaningOfWord(eventWord);
  const EventWordMeaning& said = meaning ? *meaning : MeaningOf(PowerEvent::Suspend);
  return Tr(seconds == 1 ? said.countdownOfOne : said.countdown, {std::to_string(seconds)});
}

std::int64_t CountdownSeconds(const std::string& text) {
  const auto seconds = ParseDecimal(text, kLongestCountdown, LeadingBlanks::Refused);
  return seconds && *seconds > 0 ? *seconds : 0;
}

std::int64_t RoundHalfEven(double value) {
  return static_cast<std::int64_t>(std::nearbyint(value));
}

TFrmNotify::TFrmNotify(const CountdownServices& services, EventWord event)
    : services_(services), event_(std::move(event)) {
  LblNotify.caption = CountdownText(WordOf(PowerEvent::Shutdown), 1000);
  BtnAbort.caption = Tr("Abort");
  BtnAbort.enabled = false;
}

void TFrmNotify::FormCreate() {
  AbortRequested = false;
  BtnAbort.enabled = AbortEnabled(LoadGeneralSettings(services_.app.OpenSettings()),
                                  services_.app.policies.Current());
  Alarm = AlarmState{};
  CountdownStartTime = services_.clock.Now();
}

std::int64_t TFrmNotify::StartCount() {
  const SettingsFile file = services_.app.OpenSettings();
  StartAlarm(LoadSoundSettings(file), services_.alarm, Alarm);
  return std::max(CountdownSeconds(LoadGeneralSettings(file).duration),
                  services_.app.policies.Current().minimumCountdown);
}

void TFrmNotify::ShowSecondsLeft(std::int64_t seconds) {
  LblNotify.caption = CountdownText(event_.word, seconds);
}

void TFrmNotify::StopAlarmIfStarted(const SettingsFile& file) {
  if (Alarm.AlarmStarted) StopAlarm(LoadSoundSettings(file), services_.alarm);
}

void TFrmNotify::BtnAbortClick() {
  const SoundSettings sound = LoadSoundSettings(services_.app.OpenSettings());
  if (sound.enabled && services_.alarm.player.Playable(sound.path))
    StopAlarmSound(sound, services_.alarm);
  AbortRequested = true;
}

void TFrmNotify::CloseClicked() {
  if (BtnAbort.enabled) BtnAbortClick();
}

void TFrmNotify::FormClose() {
  if (Alarm.SavedVolume != 0) services_.alarm.mixer.SetMasterVolume(Alarm.SavedVolume);
}

}  // namespace halcyra
