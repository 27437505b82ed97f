// Process-wide state that more than one window reads or writes.
#pragma once

#include <string>

#include "core/local_time.h"

namespace halcyra {

struct ProcessState {
  // True only in the process that wrote the first-start record on an edition "Vista".
  bool firstRunOnVista = false;
  // Set only by the notification menu's Exit; until then closing the main window hides it.
  bool exitRequested = false;
  // The last minute in which a fired timer was handled; year 0 means none.
  LocalTime lastHandled;
  // The event word of the timer being fired, for the countdown window.
  std::string pendingEvent;
  // The last password prompt's answer.
  bool passwordAccepted = false;
};

}  // namespace halcyra
