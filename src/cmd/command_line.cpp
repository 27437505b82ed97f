#include "cmd/command_line.h"

#include "actions/event_words.h"
#include "core/text.h"

namespace halcyra {
namespace {

// A week of minutes is the most anybody schedules this way; more is a typing error.
constexpr std::int64_t kMaxMinutes = 7 * 24 * 60;

CmdError Bad(int code, const std::string& message) { return {code, message}; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::optional<std::string> OptionName(const std::string& argument) {
  if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return std::nullopt;
  return UpperAscii(argument.substr(1));
}

// "h:mm" or "hh:mm" on a 24-hour clock.
std::optional<std::pair<int, int>> TimeOfDay(const std::string& text) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0 || colon > 2 || text.size() != colon + 3)
    return std::nullopt;
  const auto hour = ParseDecimal(text.substr(0, colon), 99, LeadingBlanks::Refused);
  const auto minute = ParseDecimal(text.substr(colon + 1), 99, LeadingBlanks::Refused);
  if (!hour || !minute || *hour < 0 || *hour > 23 || *minute < 0 || *minute > 59 ||
      text[colon + 1] == '+' || text[colon + 1] == '-' || text[0] == '+' || text[0] == '-')
    return std::nullopt;
  return std::pair<int, int>{static_cast<int>(*hour), static_cast<int>(*minute)};
}

CmdError BadTime(const std::string& value) {
  return Bad(cmd_exit::kBadTime, "Invalid time " + Quoted(value) + " (hh:mm, 0:00-23:59)");
}

std::optional<unsigned> Minutes(const std::string& text, std::int64_t least) {
  if (text.empty() || text[0] == '+' || text[0] == '-') return std::nullopt;
  const auto value = ParseDecimal(text, kMaxMinutes + 1, LeadingBlanks::Refused);
  if (!value || *value < least || *value > kMaxMinutes) return std::nullopt;
  return static_cast<unsigned>(*value);
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
    "    HalcyraCmd /cancel\n"
    "    HalcyraCmd /status\n"
    "    HalcyraCmd /?\n"
    "\n"
    "Parameters:\n"
    "    /do event            Shutdown, \"Power off\", Reboot, Hibernate, Suspend or\n"
    "                         \"Log off\". All but Hibernate and Suspend close\n"
    "                         programs by force: unsaved work is lost.\n"
    "    /in minutes          After 0-10080 minutes; 0 acts now.\n"
    "    /at hh:mm            At the next such time, 0:00-23:59 (24-hour clock);\n"
    "                         during that minute, at once.\n"
    "    /after-exit program  When every process of that image name (setup.exe)\n"
    "                         in this session has ended, or that process id.\n"
    "    /after-idle minutes  After 1-10080 minutes without keyboard or mouse input.\n"
    "    /latest hh:mm        With /after-exit or /after-idle: at that time at the\n"
    "                         latest, 0:00-23:59.\n"
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
    "    3  Bad time or number of minutes.\n"
    "    4  No such process in this session.\n"
    "    5  No Halcyra tray program of this user and session answered.\n"
    "    6  The tray program refused the request.\n"
    "\n"
    "Examples:\n"
    "    HalcyraCmd /do \"Power off\" /in 0\n"
    "    HalcyraCmd /do \"Power off\" /after-exit HandBrake.exe /latest 23:30\n"
    "    HalcyraCmd /do Hibernate /after-idle 20\n"
    "    HalcyraCmd /do Shutdown /at 22:30\n"
    "    HalcyraCmd /status\n";

std::string CmdErrorLine(int exitCode, const std::string& what) {
  const bool commandLine = exitCode >= cmd_exit::kBadOption && exitCode <= cmd_exit::kBadTime;
  const bool stopped = !what.empty() && what.back() == '.';
  return "ERROR: " + what + (stopped ? "" : ".") +
         (commandLine ? " Type \"HalcyraCmd /?\" for usage." : "");
}

std::variant<CmdLine, CmdError> ParseCmdLine(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return CmdLine{CmdAction::Help, {}, cmd_exit::kBadOption};
  CmdLine line;
  bool action = false, condition = false;
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
      if (line.request.event.empty())
        return Bad(cmd_exit::kUnknownEvent,
                   "Unknown event " + Quoted(word) +
                       "; give Shutdown, \"Power off\", Reboot, Hibernate, Suspend or \"Log off\"");
    } else if (*name == "IN" || *name == "AT" || *name == "AFTER-EXIT" || *name == "AFTER-IDLE") {
      if (condition)
        return Bad(cmd_exit::kBadOption, "Give only one of /in, /at, /after-exit and /after-idle");
      condition = true;
      if (auto missing = needs(i, option)) return *missing;
      const std::string value = arguments[++i];
      OneOffRequest& r = line.request;
      if (*name == "AT") {
        r.condition = OneOffCondition::At;
        const auto at = TimeOfDay(value);
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
        r.condition = *name == "IN" ? OneOffCondition::In : OneOffCondition::AfterIdle;
        const auto minutes = Minutes(value, *name == "IN" ? 0 : 1);
        if (!minutes)
          return Bad(cmd_exit::kBadTime, "Invalid number of minutes " + Quoted(value) + " (" +
                                             (*name == "IN" ? "0" : "1") + "-" +
                                             std::to_string(kMaxMinutes) + ")");
        r.minutes = *minutes;
      }
    } else if (*name == "LATEST") {
      if (line.request.latest) return Bad(cmd_exit::kBadOption, "Option /latest given twice");
      if (auto missing = needs(i, option)) return *missing;
      const std::string value = arguments[++i];
      const auto at = TimeOfDay(value);
      if (!at) return BadTime(value);
      line.request.latest = *at;
    } else {
      return Bad(cmd_exit::kBadOption, "Unknown option " + Quoted(option));
    }
  }
  if (!action) return Bad(cmd_exit::kBadOption, "Give /do, /cancel or /status");
  const bool waits = line.request.condition == OneOffCondition::AfterExit ||
                     line.request.condition == OneOffCondition::AfterIdle;
  if (line.action == CmdAction::Do && !condition)
    return Bad(cmd_exit::kBadOption, "/do needs /in, /at, /after-exit or /after-idle");
  if (line.action != CmdAction::Do && (condition || line.request.latest))
    return Bad(cmd_exit::kBadOption, "/cancel and /status take no other option");
  if (line.request.latest && !waits)
    return Bad(cmd_exit::kBadOption, "/latest works only with /after-exit or /after-idle");
  return line;
}

}  // namespace halcyra
