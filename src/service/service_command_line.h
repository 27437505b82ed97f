// The command line of ShutdownService.exe, the one program of the two that reads one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace halcyra {

enum class ServiceCommand { RunAsService, Install, Uninstall, Usage };

struct ServiceRequest {
  ServiceCommand command = ServiceCommand::Usage;
  // With /SILENT: no window of any kind, the exit code says what happened.
  bool silent = false;
};

inline constexpr const char* kServiceUsage =
    "Usage: ShutdownService.exe /INSTALL [/SILENT] | /UNINSTALL [/SILENT]\n\n"
    "/INSTALL registers and starts the Halcyra Service; /UNINSTALL stops and removes it. "
    "/SILENT shows no message. Without arguments the program runs as the service, started by "
    "the service manager.";

// The arguments after the program's name, split as Windows splits a command line.
std::vector<std::string> SplitCommandLine(std::string_view line);
// Switches compare without regard to case and may start with "/" or "-". No arguments at all
// is the service manager's start; anything not understood asks for the usage.
ServiceRequest ParseServiceArguments(const std::vector<std::string>& arguments);

}  // namespace halcyra
