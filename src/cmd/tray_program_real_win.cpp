#include "cmd/tray_program_win.h"

namespace halcyra {

const char* TrayProgramFile() { return "Halcyra.exe"; }

}  // namespace halcyra
