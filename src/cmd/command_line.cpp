#include "cmd/command_line.h"

#include "actions/event_words.h"
#include "core/text.h"

namespace halcyra {
namespace {

CmdError Bad(int code, const std::string& message) { return {code, message}; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::optional<std::string> OptionName(const std::string& argument) {
  if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return std::nullopt;
  return UpperAscii(argument.substr(1));
}

// The names Windows gives three of the actions in its own menus, taken for the program's words.
struct WindowsName {
  const char* name;
  const char* word;
};
constexpr WindowsName kWindowsNames[] = {
    {"Sleep", "Suspend"}, {"Restart", "Reboot"}, {"Sign out", "Log off"}};

CmdError BadTime(const std::string& value) {
  return Bad(cmd_exit::kBadTime, "Invalid time " + Quoted(value) + " (hh:mm, 0:00-23:59)");
}

}  // namespace

const char* const kCmdUsage =
    "HalcyraCmd asks the Halcyra tray program of this session to carry out one\n"
    "action once, with the countdown, alarm, clean-up tasks and log line of a timer.\n"
    "\n"
    "Syntax:\n"
    "    HalcyraCmd /do event /in minutes\n"
    "    HalcyraCmd /do event /at hh:mm\n"
    "    HalcyraCmd /do event /after-exit program [/latest hh:mm]\n"
    "    HalcyraCmd /do event /after-idle minutes [/latest hh:mm]\n"
    "    HalcyraCmd /do event /after-quiet minutes [/cpu percent] [/net KB/s]\n"
    "                                             [/latest hh:mm]\n"
    "    HalcyraCmd /cancel\n"
    "    HalcyraCmd /status\n"
    "    HalcyraCmd /?\n"
    "\n"
    "Parameters:\n"
    "    /do event            Shutdown, \"Power off\", Reboot, Hibernate, Suspend or\n"
    "                         \"Log off\"; Windows' own Restart, Sleep and\n"
    "                         \"Sign out\" are Reboot, Suspend and \"Log off\". All\n"
    "                         but Hibernate and Suspend close programs by force:\n"
    "                         unsaved work is lost.\n"
    "    /in minutes          After 0-10080 minutes; 0 acts now.\n"
    "    /at hh:mm            At the next such time, 0:00-23:59 (24-hour clock);\n"
    "                         during that minute, at once.\n"
    "    /after-exit program  When every process of that image name (setup.exe)\n"
    "                         in this session has ended, or that process id.\n"
    "    /after-idle minutes  After 1-10080 minutes without keyboard or mouse input.\n"
    "    /after-quiet minutes When the computer has been quiet for 1-10080 whole\n"
    "                         minutes in a row: each minute's average processor use\n"
    "                         below /cpu and network traffic below /net.\n"
    "    /cpu percent         With /after-quiet: 1-100 % of all processors\n"
    "                         (default 10).\n"
    "    /net KB/s            With /after-quiet: 1-1000000 KB/s, in and out\n"
    "                         together (default 10).\n"
    "    /latest hh:mm        With /after-exit, /after-idle or /after-quiet: at that\n"
    "                         time at the latest, 0:00-23:59.\n"
    "    /cancel              Drops the pending request.\n"
    "    /status              Shows the pending request and the next timer due.\n"
    "    /?                   Shows this help.\n"
    "\n"
    "    Options start with \"/\" or \"-\", in any case. One request is pending at a\n"
    "    time and a new one replaces it; it ends with the tray program. Without a\n"
    "    running tray program, /do starts it.\n"
    "\n"
    "Exit codes:\n"
    "    0  Done; for /do: the tray program accepted the request.\n"
    "    1  Bad or missing option.\n"
    "    2  Unknown event.\n"
    "    3  Bad time, number of minutes or limit.\n"
    "    4  No such process in this session.\n"
    "    5  No Halcyra tray program of this user and session answered.\n"
    "    6  The tray program refused the request.\n"
    "\n"
    "Examples:\n"
    "    HalcyraCmd /do \"Power off\" /in 0\n"
    "    HalcyraCmd /do \"Power off\" /after-exit HandBrake.exe /latest 23:30\n"
    "    HalcyraCmd /do Hibernate /after-idle 20\n"
    "    HalcyraCmd /do \"Power off\" /after-quiet 10 /net 50 /latest 6:00\n"
    "    HalcyraCmd /do Shutdown /at 22:30\n"
    "    HalcyraCmd /status\n"
    "\n"
    "Options, event words and output are English in every language of Windows, so\n"
    "that scripts can read them.\n";

std::string CmdErrorLine(int exitCode, const std::string& what) {
  const bool commandLine = exitCode >= cmd_exit::kBadOption && exitCode <= cmd_exit::kBadTime;
  const bool stopped = !what.empty() && what.back() == '.';
  return "ERROR: " + what + (stopped ? "" : ".") +
         (commandLine ? " Type \"HalcyraCmd /?\" for usage." : "");
}

std::variant<CmdLine, CmdError> ParseCmdLine(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return CmdLine{CmdAction::Help, {}, cmd_exit::kBadOption};
  CmdLine line;
  bool action = false, condition = false, cpuGiven = false, netGiven = false;
  const auto needs = [&](size_t i, const std::string& option) -> std::optional<CmdError> {
    if (i + 1 < arguments.size()) return std::nullopt;
    return Bad(cmd_exit::kBadOption, "Option " + option + " needs a value");
  };
  for (size_t i = 0; i < arguments.size(); ++i) {
    const auto name = OptionName(arguments[i]);
    if (!name) return Bad(cmd_exit::kBadOption, "Invalid argument " + Quoted(arguments[i]));
    const std::string& option = arguments[i];
    if (*name == "?" || *name == "HELP") {
      return CmdLine{CmdAction::Help, {}};
    } else if (*name == "CANCEL" || *name == "STATUS" || *name == "DO") {
      if (action) return Bad(cmd_exit::kBadOption, "Give only one of /do, /cancel and /status");
      action = true;
      line.action = *name == "DO"       ? CmdAction::Do
                    : *name == "CANCEL" ? CmdAction::Cancel
                                        : CmdAction::Status;
      if (*name != "DO") continue;
      if (auto missing = needs(i, option)) return *missing;
      const std::string word = arguments[++i];
      for (const EventWordMeaning& meaning : kEventWords)
        if (EqualsIgnoreCase(word, meaning.word)) line.request.event = meaning.word;
      for (const WindowsName& windows : kWindowsNames)
        if (EqualsIgnoreCase(word, windows.name)) line.request.event = windows.word;
      if (line.request.event.empty())
        return Bad(cmd_exit::kUnknownEvent,
                   "Unknown event " + Quoted(word) +
                       "; give Shutdown, \"Power off\", Reboot, Hibernate, Suspend or \"Log off\"");
    } else if (*name == "IN" || *name == "AT" || *name == "AFTER-EXIT" || *name == "AFTER-IDLE" ||
               *name == "AFTER-QUIET") {
      if (condition)
        return Bad(cmd_exit::kBadOption,
                   "Give only one of /in, /at, /after-exit, /after-idle and /after-quiet");
      condition = true;
      if (auto missing = needs(i, option)) return *missing;
      const std::string value = arguments[++i];
      OneOffRequest& r = line.request;
      if (*name == "AT") {
        r.condition = OneOffCondition::At;
        const auto at = ParseClockTime(value);
        if (!at) return BadTime(value);
        r.at = *at;
      } else if (*name == "AFTER-EXIT") {
        r.condition = OneOffCondition::AfterExit;
        const auto id = ParseDecimal(value, 0xFFFFFFFFLL, LeadingBlanks::Refused);
        if (id && *id > 0 && value[0] != '+') {
          r.processId = static_cast<unsigned>(*id);
        } else if (value.empty() || value.find_first_of("\\/:*?\"<>|") != std::string::npos ||
                   value[0] == '-' || value[0] == '+') {
          return Bad(cmd_exit::kBadOption, "Invalid program " + Quoted(value) +
                                               "; give an image name such as setup.exe, or a "
                                               "process id");
        } else {
          r.imageName = value.find('.') == std::string::npos ? value + ".exe" : value;
        }
      } else {
        r.condition = *name == "IN"           ? OneOffCondition::In
                      : *name == "AFTER-IDLE" ? OneOffCondition::AfterIdle
                                              : OneOffCondition::AfterQuiet;
        const auto minutes = ParseBoundedNumber(value, *name == "IN" ? 0 : 1, kMaxOneOffMinutes);
        if (!minutes)
          return Bad(cmd_exit::kBadTime, "Invalid number of minutes " + Quoted(value) + " (" +
                                             (*name == "IN" ? "0" : "1") + "-" +
                                             std::to_string(kMaxOneOffMinutes) + ")");
        r.minutes = *minutes;
      }
    } else if (*name == "CPU" || *name == "NET") {
      const bool cpu = *name == "CPU";
      if (cpu ? cpuGiven : netGiven)
        return Bad(cmd_exit::kBadOption, "Option " + option + " given twice");
      (cpu ? cpuGiven : netGiven) = true;
      if (auto missing = needs(i, option)) return *missing;
      const std::string value = arguments[++i];
      const unsigned most = cpu ? 100 : kMaxNetworkKBps;
      const auto limit = ParseBoundedNumber(value, 1, most);
      if (!limit)
        return Bad(cmd_exit::kBadTime, std::string("Invalid ") + (cpu ? "percentage " : "rate ") +
                                           Quoted(value) + " (1-" + std::to_string(most) + ")");
      (cpu ? line.request.processorPercent : line.request.networkKBps) = *limit;
    } else if (*name == "LATEST") {
      if (line.request.latest) return Bad(cmd_exit::kBadOption, "Option /latest given twice");
      if (auto missing = needs(i, option)) return *missing;
      const std::string value = arguments[++i];
      const auto at = ParseClockTime(value);
      if (!at) return BadTime(value);
      line.request.latest = *at;
    } else {
      return Bad(cmd_exit::kBadOption, "Unknown option " + Quoted(option));
    }
  }
  if (!action) return Bad(cmd_exit::kBadOption, "Give /do, /cancel or /status");
  const bool quiet = line.request.condition == OneOffCondition::AfterQuiet;
  const bool waits = line.request.condition == OneOffCondition::AfterExit ||
                     line.request.condition == OneOffCondition::AfterIdle || quiet;
  if (line.action == CmdAction::Do && !condition)
    return Bad(cmd_exit::kBadOption,
               "/do needs /in, /at, /after-exit, /after-idle or /after-quiet");
  if (line.action != CmdAction::Do && (condition || line.request.latest || cpuGiven || netGiven))
    return Bad(cmd_exit::kBadOption, "/cancel and /status take no other option");
  if (line.request.latest && !waits)
    return Bad(cmd_exit::kBadOption,
               "/latest works only with /after-exit, /after-idle or /after-quiet");
  if ((cpuGiven || netGiven) && !quiet)
    return Bad(cmd_exit::kBadOption, "/cpu and /net work only with /after-quiet");
  return line;
}

}  // namespace halcyra
