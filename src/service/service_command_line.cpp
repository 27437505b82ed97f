#include "service/service_command_line.h"

#include "core/text.h"

namespace halcyra {

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> parts;
  std::string current;
  bool quoted = false, any = false;
  for (const char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) parts.push_back(current);
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  if (any) parts.push_back(current);
  // The first part is the program itself.
  if (!parts.empty()) parts.erase(parts.begin());
  return parts;
}

ServiceRequest ParseServiceArguments(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return {ServiceCommand::RunAsService, true};
  ServiceRequest request{ServiceCommand::Usage, false};
  bool commandSeen = false;
  for (const std::string& argument : arguments) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-'))
      return {ServiceCommand::Usage, false};
    const std::string word = UpperAscii(argument.substr(1));
    if (word == "SILENT" && !request.silent) {
      request.silent = true;
    } else if ((word == "INSTALL" || word == "UNINSTALL") && !commandSeen) {
      request.command = word == "INSTALL" ? ServiceCommand::Install : ServiceCommand::Uninstall;
      commandSeen = true;
    } else {
      return {ServiceCommand::Usage, false};
    }
  }
  if (!commandSeen) return {ServiceCommand::Usage, false};
  return request;
}

}  // namespace halcyra
