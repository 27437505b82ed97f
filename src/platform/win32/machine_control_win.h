// Which MachineControl a program gets is chosen at link time: Halcyra.exe links the real
// calls, Halcyra-e2e.exe links the journal that tests read.
#pragma once

#include <memory>
#include <string>

#include "platform/machine_control.h"

namespace halcyra {

// The data folder is where the end-to-end build keeps its journal; the real calls ignore it.
std::unique_ptr<MachineControl> MakeMachineControl(const std::string& dataFolder);

}  // namespace halcyra
