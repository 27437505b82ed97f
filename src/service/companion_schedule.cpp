#include "service/companion_schedule.h"

#include "actions/event_log.h"
#include "actions/event_words.h"
#include "app/paths.h"
#include "app/settings.h"
#include "schedule/wake_up.h"
#include "service/file_trust.h"
#include "service/logged_on.h"

namespace halcyra {
namespace {

// Applications get a few seconds; then they are closed by force.
constexpr unsigned kGraceSeconds = 5;

bool Shutdown(ServicePower& power, bool restart) {
  using namespace shutdown_flags;
  return power.Shutdown(kGraceSeconds, kForceOthers | kForceSelf | (restart ? kRestart : kPowerOff),
                        kPlannedOther);
}

// Forced, and with wake-up events left on: the wake-up timers must still wake the machine.
bool Sleep(ServicePower& power, bool hibernate) {
  return power.SetSuspendState(hibernate, true, false);
}

std::string Named(const DueTimer& due) {
  return "The timer \"" + due.title + "\" (" + due.event.word + ")";
}

}  // namespace

SettingsFile CompanionSchedule::Settings() const {
  return SettingsFile(services_.ini, GetSettingsPath(services_.os), services_.regional.Current());
}

void CompanionSchedule::Start() { Reload(); }

std::string CompanionSchedule::Refusal(bool withLog) {
  const std::string folder = GetDataFolder(services_.os);
  std::string refusal = RefusalToOpen(services_.inspector, folder, GetSettingsPath(services_.os));
  if (refusal.empty() && withLog)
    refusal = RefusalToOpen(services_.inspector, folder, LogFilePath(services_.os));
  if (!refusal.empty() && refusal != lastRefusal_)
    services_.log.Write(ServiceEvent::FileRefused,
                        refusal +
                            ". The service leaves the shared files alone and acts on "
                            "nothing until this is put right.");
  lastRefusal_ = refusal;
  return refusal;
}

void CompanionSchedule::Reload() {
  // The old handles go first: no wake-up timer is armed twice.
  timers_.clear();
  loaded_ = services_.stamps.Stamp(GetSettingsPath(services_.os));
  // The read goes by name: a file swapped for a link after the check was read through it, and
  // nothing read then counts. A refused file is read again at the next look, since the stamp
  // of a file put back may equal the one taken here.
  bool refused = !Refusal(false).empty();
  if (!refused) {
    timers_ = LoadTimers(Settings(), services_.policies.Current(),
                         {services_.os, services_.clock, services_.wakeTimers});
    refused = !Refusal(false).empty();
  }
  if (refused) {
    timers_.clear();
    loaded_.reset();
    return;
  }
  const std::string path = GetSettingsPath(services_.os);
  const bool held = services_.ini.Held(path);
  if (held) {
    // What was read is not the file: no timer of it is kept, and the next minute reads again.
    timers_.clear();
    loaded_.reset();
    if (!held_)
      services_.log.Write(ServiceEvent::SettingsUnreadable,
                          "The settings file \"" + path +
                              "\" could not be read within 2 seconds: another program holds it. "
                              "The service skips this minute and reads it again the next.");
  }
  held_ = held;
}

void CompanionSchedule::Tick() {
  // The policies are read at each look: a change of them wakes the service for one.
  const bool policiesChanged = services_.policies.Refresh();
  if (policiesChanged || services_.stamps.Stamp(GetSettingsPath(services_.os)) != loaded_) Reload();
  const LocalTime now = services_.clock.Now();
  auto due = FindDueTimer(timers_, now, lastHandled_,
                          [this] { return LoadLogSettings(Settings()).lastRebootTime; });
  if (due) Handle(*due, now);
}

void CompanionSchedule::Handle(DueTimer& due, const LocalTime& now) {
  // Whatever happens now, this minute is done with.
  lastHandled_ = now;
  if (SomeoneLoggedOn(services_.sessions)) {
    services_.log.Write(ServiceEvent::UserLoggedOn,
                        Named(due) +
                            " fell due while a user is logged on. The service leaves the user's "
                            "session to Halcyra.");
    return;
  }
  if (!Refusal(true).empty()) return;
  const AwakeWhileAlive awake(services_.sleep, "Halcyra service: " + due.event.word + " due");
  SettingsFile settings = Settings();
  CarryOut(due, settings, {services_.os, services_.files, services_.regional},
           services_.policies.Current(), services_.clock, *this);
  Reload();
}

bool CompanionSchedule::Accepts(const DueTimer& due) {
  if (!due.event.event) {
    services_.log.Write(ServiceEvent::NothingToDo,
                        Named(due) + " names no action the service knows.");
    return false;
  }
  if (due.event.Is(PowerEvent::LogOff)) {
    services_.log.Write(ServiceEvent::NothingToDo,
                        Named(due) + " fell due with nobody logged on: nobody to log off.");
    return false;
  }
  if (due.event.Is(PowerEvent::Suspend) &&
      SuspendWayOf(services_.sleep.Capabilities()) == SuspendWay::DisplayOff) {
    services_.log.Write(ServiceEvent::NothingToDo,
                        Named(due) +
                            " fell due with nobody logged on. This computer sleeps through "
                            "modern standby, which only the display's turning off starts, and a "
                            "service has no display: the service does not suspend it.");
    return false;
  }
  services_.log.Write(ServiceEvent::Acted,
                      Named(due) + " fell due with nobody logged on: the service carries it out.");
  return true;
}

void CompanionSchedule::LogLineFailed() {
  services_.log.Write(ServiceEvent::ActionRefused, "The event log line could not be written to " +
                                                       LogFilePath(services_.os) + ".");
}

void CompanionSchedule::WriteFailed(const SettingsWriteError& error) {
  services_.log.Write(ServiceEvent::SettingsUnreadable, error.what());
}

bool CompanionSchedule::Act(const DueTimer& due) {
  bool done = false;
  switch (*due.event.event) {
    case PowerEvent::Reboot:
      done = Shutdown(services_.power, true);
      break;
    case PowerEvent::Hibernate:
      done = HibernateAllowed(services_.sleep.Capabilities()) && Sleep(services_.power, true);
      break;
    case PowerEvent::Suspend:
      done = SuspendWayOf(services_.sleep.Capabilities()) == SuspendWay::Sleep &&
             Sleep(services_.power, false);
      break;
    default:  // Shutdown and Power off: both end with the power off.
      done = Shutdown(services_.power, false);
      break;
  }
  if (!done)
    services_.log.Write(ServiceEvent::ActionRefused,
                        Named(due) + ": Windows did not carry out the action.");
  return done;
}

}  // namespace halcyra
