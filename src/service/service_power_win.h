// What differs between the two builds of the service is chosen at link time: ShutdownService.exe
// makes the real calls; ShutdownService-e2e.exe journals them to Effects.txt and runs under Wine.
#pragma once

#include <memory>
#include <string>

#include "platform/service_host.h"

namespace halcyra {

// The data folder is where the end-to-end build keeps its journal; the real calls ignore it.
std::unique_ptr<ServicePower> MakeServicePower(const std::string& dataFolder);

// Whether /INSTALL also trusts the installing account with the service's files and folder. The
// real service trusts only the system, administrators and Windows' installer: an administrator's
// own files (the Downloads folder) may be changed by that administrator's unelevated programs.
// Under Wine every file belongs to the prefix's user, so the end-to-end build trusts it.
bool TrustsInstallingAccount();

}  // namespace halcyra
