// Carrying a due timer out, the one way both programs do it: a once-only timer leaves the
// file, the log line is written, a reboot leaves its stamp, and the action is asked for. What
// the two programs do differently (the tray's clean-up and alarm, its messages, its waits; the
// service's event-log lines and what it declines) comes from their sink.
#pragma once

#include <string>

#include "actions/event_log.h"
#include "app/policies.h"
#include "app/settings_file.h"
#include "platform/clock.h"
#include "schedule/due_timer.h"

namespace halcyra {

class CarryOutSink {
 public:
  virtual ~CarryOutSink() = default;
  // Whether this program carries the timer out at all; false leaves everything untouched.
  virtual bool Accepts(const DueTimer& due) = 0;
  virtual void BeforeLogLine(const SettingsFile& settings) = 0;
  virtual void LogLineFailed() = 0;
  virtual void AfterLogLine(const SettingsFile& settings) = 0;
  // Whether a reboot leaves its stamp, so that a reboot timer of this minute does not fire
  // again when the machine is back within it.
  virtual bool StampsReboot() const { return true; }
  // The settings file refused a write: the reboot stamp, or a once-only timer going back.
  virtual void WriteFailed(const SettingsWriteError& error) = 0;
  // Whether the action comes now, or later through FinishCarryOut: after the program's own
  // wait, or from its main loop.
  virtual bool ActsNow(const DueTimer& due, bool rebootStampWritten) = 0;
  // Asks for the action; false when it was not carried out (refused, not possible, unknown).
  virtual bool Act(const DueTimer& due) = 0;
};

enum class CarryOutEnd { Done, NotDone, Declined, Later };

// Takes a once-only timer's entry out of the file, keeping it in `due`; false when the file
// did not let it go.
bool TakeOnceOnly(DueTimer& due, SettingsFile& settings);

// Everything up to the action, then the action unless the sink wants it later. The log line
// and the reboot stamp take the clock's time when they are written, after the clean-up; the
// line is written when the file or a policy says so.
CarryOutEnd CarryOut(DueTimer& due, SettingsFile& settings, const EventLogServices& log,
                     const Policies& policies, const Clock& clock, CarryOutSink& sink);

// The action; a once-only timer whose known action Windows refused goes back into the file.
// One whose word names no action is gone, as after any firing: back, it would only say
// "Unknown shutdown event." again at every match.
CarryOutEnd FinishCarryOut(DueTimer& due, SettingsFile& settings, CarryOutSink& sink);

}  // namespace halcyra
