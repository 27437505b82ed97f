// The last word of a process that meets a fault no handler can catch (an access violation, a
// stack overflow): one message with the fault's code, then the end, so nothing ends silently.
#pragma once

#include <string>

namespace halcyra {

// "Halcyra stopped after an unexpected fault (code 0xC0000005). Start it again to keep the
// schedule running."
std::string FaultMessage(unsigned long code);

// Where the message goes: a message box, or standard error for a program that must show no
// window (an installer's silent run, a service).
enum class FaultNotice { Box, StandardError };

void InstallFaultReport(FaultNotice notice = FaultNotice::Box);

// Writes the text and a line end to standard error, where there is one.
void WriteStandardError(const std::string& text);

}  // namespace halcyra
