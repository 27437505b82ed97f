// Which MachineControl a program gets is chosen at link time: Halcyra.exe links the real
// calls, Halcyra-e2e.exe links the journal that tests read.
#pragma once

#include <memory>

#include "platform/machine_control.h"
#include "platform/os_info.h"

namespace halcyra {

std::unique_ptr<MachineControl> MakeMachineControl(const OsInfo& os);

}  // namespace halcyra
