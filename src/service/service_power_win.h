// Which ServicePower the service gets, and which program it takes for the tray program, is
// chosen at link time: ShutdownService.exe makes the real calls and watches for Halcyra.exe;
// ShutdownService-e2e.exe journals the calls to Effects.txt and watches for Halcyra-e2e.exe.
#pragma once

#include <memory>
#include <string>

#include "platform/service_host.h"

namespace halcyra {

// The data folder is where the end-to-end build keeps its journal; the real calls ignore it.
std::unique_ptr<ServicePower> MakeServicePower(const std::string& dataFolder);
// The file name of the tray program beside the service.
const char* TrayProgramName();

}  // namespace halcyra
