#include "service/service_command_line.h"

#include "core/text.h"

namespace halcyra {

namespace {

bool IsSilentSwitch(const std::string& argument) {
  return argument.size() > 1 && (argument[0] == '/' || argument[0] == '-') &&
         UpperAscii(argument.substr(1)) == "SILENT";
}

// A command line not understood: silent still means no window, also for the usage.
ServiceRequest Usage(const std::vector<std::string>& arguments) {
  ServiceRequest request;
  for (const std::string& argument : arguments) request.silent |= IsSilentSwitch(argument);
  return request;
}

}  // namespace

ServiceRequest ParseServiceArguments(const std::vector<std::string>& arguments) {
  ServiceRequest request;
  if (arguments.empty()) {
    request.command = ServiceCommand::RunAsService;
    request.silent = true;
    return request;
  }
  bool commandSeen = false;
  for (const std::string& argument : arguments) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return Usage(arguments);
    const std::string word = UpperAscii(argument.substr(1));
    if (word.rfind("SETTINGS=", 0) == 0 && request.settingsSource.empty()) {
      request.settingsSource = argument.substr(std::string_view("/SETTINGS=").size());
    } else if (word == "OVERWRITE" && !request.overwrite) {
      request.overwrite = true;
    } else if (word == "SILENT" && !request.silent) {
      request.silent = true;
    } else if ((word == "INSTALL" || word == "UNINSTALL") && !commandSeen) {
      request.command = word == "INSTALL" ? ServiceCommand::Install : ServiceCommand::Uninstall;
      commandSeen = true;
    } else {
      return Usage(arguments);
    }
  }
  const bool settings = !request.settingsSource.empty() || request.overwrite;
  if (!commandSeen || (settings && request.command != ServiceCommand::Install))
    return Usage(arguments);
  return request;
}

}  // namespace halcyra
