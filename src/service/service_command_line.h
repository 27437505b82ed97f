// The command line of ShutdownService.exe, the one program of the two that reads one.
#pragma once

#include <string>
#include <vector>

namespace halcyra {

enum class ServiceCommand { RunAsService, Install, Uninstall, Usage };

struct ServiceRequest {
  ServiceCommand command = ServiceCommand::Usage;
  // With /SILENT: no window of any kind, the exit code says what happened.
  bool silent = false;
  // With /INSTALL, /SETTINGS=<path>: a prepared settings file to put in place, only where
  // none exists unless /OVERWRITE is given too. An empty path is no file.
  std::string settingsSource;
  bool overwrite = false;
};

inline constexpr const char* kServiceUsage =
    "Usage: ShutdownService.exe /INSTALL [/SILENT] [/SETTINGS=<file> [/OVERWRITE]] | "
    "/UNINSTALL [/SILENT]\n\n"
    "/INSTALL registers and starts the Halcyra Service and prepares the shared settings folder; "
    "/SETTINGS puts a prepared settings file there where none exists (with /OVERWRITE, always). "
    "/UNINSTALL stops and removes the service. /SILENT shows no message. Without arguments the "
    "program runs as the service, started by the service manager.";

// Switches compare without regard to case and may start with "/" or "-". No arguments at all
// is the service manager's start; anything not understood asks for the usage.
ServiceRequest ParseServiceArguments(const std::vector<std::string>& arguments);

}  // namespace halcyra
