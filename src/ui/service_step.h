// The service step of the main window's OK.
#pragma once

#include <string>

#include "platform/service_control.h"

namespace halcyra {

inline constexpr int kServiceRestartPauseMs = 1000;

// On the NT family: stop the companion service and, unless this process made the first start
// on "Vista", start it again after a pause. Nothing on other editions; errors are ignored.
void RunServiceStep(const std::string& edition, bool firstRunOnVista, ServiceControl& service);

}  // namespace halcyra
