#include "cmd/tray_program_win.h"

namespace halcyra {

const char* TrayProgramFile() { return "Halcyra-e2e.exe"; }

}  // namespace halcyra
