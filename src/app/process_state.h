// Process-wide state that more than one window reads or writes.
#pragma once

#include <string>

namespace halcyra {

struct ProcessState {
  // True only in the process that wrote the first-start record on an edition "Vista".
  bool firstRunOnVista = false;
  // Set only by the notification menu's Exit; until then closing the main window hides it.
  bool exitRequested = false;
  // The event word of the timer being fired, for the countdown window.
  std::string pendingEvent;
  // The last password prompt's answer.
  bool passwordAccepted = false;
};

}  // namespace halcyra
