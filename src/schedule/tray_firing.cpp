#include "schedule/tray_firing.h"

#include <utility>

namespace halcyra {

void TrayCarryOut::BeforeLogLine(const SettingsFile& settings) {
  RunCleanupTasks(settings, services_.cleanup);
}

void TrayCarryOut::AfterLogLine(const SettingsFile& settings) {
  if (countdown_) countdown_->StopAlarmIfStarted(settings);
}

bool TrayCarryOut::ActsNow(const DueTimer& due, bool rebootStampWritten) {
  // Without the stamp (a standard user under the read-only lock) a reboot timer of this minute
  // would fire again when the machine is back within it: the reboot waits for the next minute.
  if (!rebootStampWritten) return false;
  const EventWordMeaning* meaning = due.event.Meaning();
  // The countdown closes and the tick runs again before the machine sleeps, so that the
  // schedule goes on at once after the resume.
  posted_ = meaning && meaning->programGoesOn;
  return !posted_;
}

bool PerformOrSay(const FiringServices& services, const DueTimer& due) {
  const EventWordMeaning* meaning = due.event.Meaning();
  if (!meaning) {
    services.app.boxes.Show(Tr(kUnknownEventMessage), kAppTitle, mb::kOk | mb::kIconInformation);
    return false;
  }
  // A refused action must not pass in silence, nor leave the schedule stopped.
  if (meaning->action(services.power)) return true;
  services.app.boxes.Show(Tr(kActionRefusedMessage), kAppTitle, mb::kOk | mb::kIconInformation);
  return false;
}

TrayFiring::TrayFiring(const FiringServices& services, FiringHost& host, DueTimer due)
    : services_(services),
      host_(host),
      firing_(due, services.clock.Now()),
      countdown_({services.app, services.clock, services.alarm}, due.event) {
  // The reason names the action.
  awake_.emplace(services_.sleep, "Halcyra: " + due.event.word + " countdown");
  countdown_.FormCreate();
  host_.OpenCountdown(countdown_);
}

std::optional<Firing::End> TrayFiring::Advance() {
  const std::uint64_t tick = services_.clock.TickCount64();
  Firing::Step step = firing_.Tick(tick, services_.clock.Now());
  if (step.phase == Firing::Phase::Opening) {
    firing_.Begin(countdown_.StartCount(), tick);
    step = firing_.Tick(tick, services_.clock.Now());
  }
  switch (step.phase) {
    case Firing::Phase::Counting:
      countdown_.ShowSecondsLeft(step.secondsLeft);
      host_.SyncCountdown();
      // Seen after the label's update, as the count goes.
      if (countdown_.AbortRequested) return Close(Firing::End::Aborted);
      return std::nullopt;
    case Firing::Phase::Act: {
      firing_.StartActing();
      host_.HideCountdown();
      SettingsFile settings = services_.app.OpenSettings();
      TrayCarryOut sink(services_, &countdown_);
      const CarryOutEnd end = CarryOut(firing_.Due(), settings, services_.log,
                                       services_.app.policies.Current(), services_.clock, sink);
      return After(end, sink, tick);
    }
    case Firing::Phase::Finish: {
      firing_.StartActing();
      SettingsFile settings = services_.app.OpenSettings();
      TrayCarryOut sink(services_, &countdown_);
      return After(FinishCarryOut(firing_.Due(), settings, sink), sink, tick);
    }
    case Firing::Phase::Done:
      return firing_.Outcome();
    default:
      return std::nullopt;
  }
}

std::optional<Firing::End> TrayFiring::After(CarryOutEnd end, const TrayCarryOut& sink,
                                             std::uint64_t tick) {
  if (end == CarryOutEnd::Done) {
    firing_.Finish(Firing::End::Ended);
    return Firing::End::Ended;
  }
  if (end != CarryOutEnd::Later) return Close(Firing::End::GoingOn);
  if (!sink.Posted()) {
    firing_.Hold(tick);
    return std::nullopt;
  }
  host_.Post([services = services_, due = firing_.Due()]() mutable {
    SettingsFile settings = services.app.OpenSettings();
    TrayCarryOut actionOnly(services, nullptr);
    FinishCarryOut(due, settings, actionOnly);
  });
  return Close(Firing::End::GoingOn);
}

Firing::End TrayFiring::Close(Firing::End end) {
  firing_.Finish(end);
  ProgramEnds();
  return end;
}

void TrayFiring::ProgramEnds() {
  if (std::exchange(closed_, true)) return;
  countdown_.FormClose();
  host_.CloseCountdown();
  awake_.reset();
}

}  // namespace halcyra
