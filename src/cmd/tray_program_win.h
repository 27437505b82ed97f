// Which tray program HalcyraCmd talks to and starts is chosen at link time: HalcyraCmd.exe
// takes Halcyra.exe, HalcyraCmd-e2e.exe the end-to-end build Halcyra-e2e.exe.
#pragma once

namespace halcyra {

// The file name of the tray program beside HalcyraCmd.
const char* TrayProgramFile();

}  // namespace halcyra
