// The last word of a process that meets a fault no handler can catch (an access violation, a
// stack overflow): one message with the fault's code, then the end, so nothing ends silently.
#pragma once

#include <string>

namespace halcyra {

// "Halcyra stopped after an unexpected fault (code 0xC0000005). Start it again to keep the
// schedule running."
std::string FaultMessage(unsigned long code);

void InstallFaultReport();

}  // namespace halcyra
