#include "schedule/carry_out.h"

#include "app/settings.h"
#include "app/timer_section.h"

namespace halcyra {

bool TakeOnceOnly(DueTimer& due, SettingsFile& settings) {
  const std::string entry = ReadTimerEntry(settings, due.title);
  if (!RemoveTimerEntry(settings, due.title)) return false;
  due.takenEntry = entry;
  return true;
}

CarryOutEnd CarryOut(DueTimer& due, SettingsFile& settings, const EventLogServices& log,
                     const Policies& policies, const Clock& clock, CarryOutSink& sink) {
  if (!sink.Accepts(due)) return CarryOutEnd::Declined;
  // Out of the file before the call, which may end the machine: it must not fire twice.
  if (due.once && !due.takenEntry && !due.entryKept) TakeOnceOnly(due, settings);
  sink.BeforeLogLine(settings);
  if (LogEnabled(LoadLogSettings(settings), policies)) {
    try {
      AppendEventLine(log, clock.Now(), due.event.word);
    } catch (const LogWriteError&) {
      sink.LogLineFailed();
    }
  }
  sink.AfterLogLine(settings);
  bool stamped = true;
  if (due.event.Is(PowerEvent::Reboot) && sink.StampsReboot()) {
    // Without it, a machine back within this minute would reboot once more.
    try {
      StampLastReboot(settings, EncodeDateTime(clock.Now()));
    } catch (const SettingsWriteError& error) {
      stamped = false;
      sink.WriteFailed(error);
    }
  }
  if (!sink.ActsNow(due, stamped)) return CarryOutEnd::Later;
  return FinishCarryOut(due, settings, sink);
}

CarryOutEnd FinishCarryOut(DueTimer& due, SettingsFile& settings, CarryOutSink& sink) {
  if (sink.Act(due)) return CarryOutEnd::Done;
  if (due.takenEntry && due.event.event) {
    try {
      WriteTimerEntry(settings, due.title, *due.takenEntry);
      due.takenEntry.reset();
    } catch (const SettingsWriteError& error) {
      sink.WriteFailed(error);
    }
  }
  return CarryOutEnd::NotDone;
}

}  // namespace halcyra
