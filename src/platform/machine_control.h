// The three calls that end the session, change the power state or move the clock. The
// end-to-end build links a journal in their place, so tests never act on the machine.
#pragma once

#include "core/local_time.h"

namespace halcyra {

class MachineControl {
 public:
  virtual ~MachineControl() = default;
  virtual bool ExitWindowsEx(unsigned flags) = 0;
  virtual bool SetSystemPowerState(bool suspend, bool force) = 0;
  virtual bool SetLocalTime(const LocalTime& time) = 0;
};

}  // namespace halcyra
