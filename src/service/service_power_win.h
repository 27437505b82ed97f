// Which ServicePower the service gets is chosen at link time: ShutdownService.exe makes the real
// calls; ShutdownService-e2e.exe journals them to Effects.txt.
#pragma once

#include <memory>
#include <string>

#include "platform/service_host.h"

namespace halcyra {

// The data folder is where the end-to-end build keeps its journal; the real calls ignore it.
std::unique_ptr<ServicePower> MakeServicePower(const std::string& dataFolder);

}  // namespace halcyra
