// Which MachineControl and event log a program gets is chosen at link time: Halcyra.exe links
// the real calls, Halcyra-e2e.exe links the journal that tests read.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/machine_control.h"
#include "platform/power_capabilities.h"
#include "platform/service_host.h"
#include "platform/system_load.h"

namespace halcyra {

// The data folder is where the end-to-end build keeps its journal; the real calls ignore it.
std::unique_ptr<MachineControl> MakeMachineControl(const std::string& dataFolder);
// The Windows event log; in the end-to-end build a line "ReportEvent <id> <text>" each.
std::unique_ptr<SystemLog> MakeSystemLog(const std::string& dataFolder);
// How busy the computer is. The end-to-end build averages over minutes of 3 seconds, so that
// its tests of "quiet for 2 minutes" take seconds; the real build over minutes.
std::unique_ptr<SystemLoad> MakeSystemLoad();
// A notification from the icon; the end-to-end build also journals "NIF_INFO <text>".
void NoteTrayBalloon(const std::string& dataFolder, const std::string& text);
// The machine's power capabilities. The end-to-end build puts the words of PowerCapabilities.txt
// in the data folder over the system's answer, when the file is there; the real build never
// reads that file.
std::optional<PowerCapabilities> MachinePowerCapabilities(const std::string& dataFolder);
// The schedule's tick ran on that window. The end-to-end build counts the ticks in the window's
// property "HalcyraE2E.Ticks", so that a test sees the program had its chance before it checks
// that something did not happen; the real build does nothing.
void NoteScheduleTick(HWND window);
// The clock. The end-to-end build moves the system's clock by the seconds that ClockOffset.txt
// in the data folder holds, when the file is there, so that a test can set the program's clock
// without touching the machine's; the real build is the system's clock.
std::unique_ptr<Clock> MakeClock(const std::string& dataFolder);
// Asks Windows to start the program again after an installer closed it through the Restart
// Manager: not after a crash or a hang, and not after a reboot, when the logon starts it anyway.
// The end-to-end build also journals "RegisterApplicationRestart <flags>" in Lifecycle.txt.
void RegisterForRestart(const std::string& dataFolder);
// Windows confirmed the end of the session, or an installer's close of this program alone; the
// end-to-end build journals "WM_ENDSESSION <lParam>" in Lifecycle.txt, so that a test sees
// which it was.
void NoteSessionEnd(const std::string& dataFolder, LPARAM how);

}  // namespace halcyra
