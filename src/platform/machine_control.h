// The calls that end the session, change the power state, turn the display off or move the
// clock. The
// end-to-end build links a journal in their place, so tests never act on the machine.
// The clock is set in UTC, so that the time zone in force cannot shift what is set.
#pragma once

#include "core/local_time.h"

namespace halcyra {

class MachineControl {
 public:
  virtual ~MachineControl() = default;
  virtual bool ExitWindowsEx(unsigned flags) = 0;
  virtual bool SetSystemPowerState(bool suspend, bool force) = 0;
  virtual bool SetSystemTime(const LocalTime& utc) = 0;
  // Asks every top-level window to turn the display off (SC_MONITORPOWER 2): on modern standby
  // this is how a user's Sleep starts standby.
  virtual bool TurnDisplayOff() = 0;
};

}  // namespace halcyra
