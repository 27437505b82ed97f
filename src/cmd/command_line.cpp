#include "cmd/command_line.h"

#include "actions/event_words.h"
#include "core/text.h"

namespace halcyra {
namespace {

// A week of minutes is the most anybody schedules this way; more is a typing error.
constexpr std::int64_t kMaxMinutes = 7 * 24 * 60;

const char* kSeeUsage = "; see HalcyraCmd /?";

CmdError Bad(int code, const std::string& message) { return {code, "HalcyraCmd: " + message}; }

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

std::optional<unsigned> Minutes(const std::string& text, std::int64_t least) {
  if (text.empty() || text[0] == '+' || text[0] == '-') return std::nullopt;
  const auto value = ParseDecimal(text, kMaxMinutes + 1, LeadingBlanks::Refused);
  if (!value || *value < least || *value > kMaxMinutes) return std::nullopt;
  return static_cast<unsigned>(*value);
}

}  // namespace

const char* const kCmdUsage =
    "HalcyraCmd: one-off actions of the Halcyra tray program.\n"
    "\n"
    "  HalcyraCmd /do <event> /in <minutes>\n"
    "  HalcyraCmd /do <event> /at <hh:mm>\n"
    "  HalcyraCmd /do <event> /after-exit <image name or process id> [/latest <hh:mm>]\n"
    "  HalcyraCmd /do <event> /after-idle <minutes> [/latest <hh:mm>]\n"
    "  HalcyraCmd /cancel\n"
    "  HalcyraCmd /status\n"
    "\n"
    "<event> is Shutdown, \"Power off\", Reboot, Hibernate, Suspend or \"Log off\".\n"
    "/in 0 acts now; /at takes the next such time (this minute counts); /after-exit waits for\n"
    "every process of that name in this session, or for that process; /after-idle waits for\n"
    "that long without keyboard or mouse input; /latest acts then even if the condition never\n"
    "came true. The action comes with Halcyra's countdown, alarm, clean-up and log line.\n"
    "One request is pending at a time and a new one replaces it. It is held in memory by the\n"
    "tray program only, and ends with it. Without a running tray program, HalcyraCmd starts it.\n"
    "\n"
    "Exit codes: 0 done, 1 bad option, 2 unknown event, 3 bad time or number, 4 no such\n"
    "process, 5 no tray program answers, 6 the tray program refused the request.\n";

std::variant<CmdLine, CmdError> ParseCmdLine(const std::vector<std::string>& arguments) {
  CmdLine line;
  bool action = false, condition = false;
  const auto needs = [&](size_t i, const std::string& option) -> std::optional<CmdError> {
    if (i + 1 < arguments.size()) return std::nullopt;
    return Bad(cmd_exit::kBadOption, option + " needs a value" + kSeeUsage);
  };
  for (size_t i = 0; i < arguments.size(); ++i) {
    const auto name = OptionName(arguments[i]);
    if (!name)
      return Bad(cmd_exit::kBadOption, "\"" + arguments[i] + "\" is no option" + kSeeUsage);
    const std::string& option = arguments[i];
    if (*name == "?" || *name == "HELP") {
      return CmdLine{CmdAction::Help, {}};
    } else if (*name == "CANCEL" || *name == "STATUS" || *name == "DO") {
      if (action) return Bad(cmd_exit::kBadOption, "give one of /do, /cancel and /status");
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
                   "\"" + word +
                       "\" is no event; give Shutdown, \"Power off\", Reboot, Hibernate, Suspend "
                       "or \"Log off\"");
    } else if (*name == "IN" || *name == "AT" || *name == "AFTER-EXIT" || *name == "AFTER-IDLE") {
      if (condition)
        return Bad(cmd_exit::kBadOption,
                   "give one of /in, /at, /after-exit and /after-idle" + std::string(kSeeUsage));
      condition = true;
      if (auto missing = needs(i, option)) return *missing;
      const std::string value = arguments[++i];
      OneOffRequest& r = line.request;
      if (*name == "AT") {
        r.condition = OneOffCondition::At;
        const auto at = TimeOfDay(value);
        if (!at) return Bad(cmd_exit::kBadTime, "\"" + value + "\" is no time; give hh:mm");
        r.at = *at;
      } else if (*name == "AFTER-EXIT") {
        r.condition = OneOffCondition::AfterExit;
        const auto id = ParseDecimal(value, 0xFFFFFFFFLL, LeadingBlanks::Refused);
        if (id && *id > 0 && value[0] != '+') {
          r.processId = static_cast<unsigned>(*id);
        } else if (value.empty() || value.find_first_of("\\/:*?\"<>|") != std::string::npos ||
                   value[0] == '-' || value[0] == '+') {
          return Bad(cmd_exit::kBadOption,
                     "\"" + value + "\" is no image name or process id" + kSeeUsage);
        } else {
          r.imageName = value.find('.') == std::string::npos ? value + ".exe" : value;
        }
      } else {
        r.condition = *name == "IN" ? OneOffCondition::In : OneOffCondition::AfterIdle;
        const auto minutes = Minutes(value, *name == "IN" ? 0 : 1);
        if (!minutes)
          return Bad(cmd_exit::kBadTime, "\"" + value + "\" is no number of minutes (" +
                                             (*name == "IN" ? "0" : "1") + " to " +
                                             std::to_string(kMaxMinutes) + ")");
        r.minutes = *minutes;
      }
    } else if (*name == "LATEST") {
      if (line.request.latest) return Bad(cmd_exit::kBadOption, "/latest is given twice");
      if (auto missing = needs(i, option)) return *missing;
      const std::string value = arguments[++i];
      const auto at = TimeOfDay(value);
      if (!at) return Bad(cmd_exit::kBadTime, "\"" + value + "\" is no time; give hh:mm");
      line.request.latest = *at;
    } else {
      return Bad(cmd_exit::kBadOption, "unknown option \"" + option + "\"" + kSeeUsage);
    }
  }
  if (!action)
    return Bad(cmd_exit::kBadOption, std::string("give /do, /cancel or /status") + kSeeUsage);
  const bool waits = line.request.condition == OneOffCondition::AfterExit ||
                     line.request.condition == OneOffCondition::AfterIdle;
  if (line.action == CmdAction::Do && !condition)
    return Bad(cmd_exit::kBadOption,
               std::string("/do needs /in, /at, /after-exit or /after-idle") + kSeeUsage);
  if (line.action != CmdAction::Do && (condition || line.request.latest))
    return Bad(cmd_exit::kBadOption, std::string("/cancel and /status stand alone") + kSeeUsage);
  if (line.request.latest && !waits)
    return Bad(cmd_exit::kBadOption,
               std::string("/latest goes with /after-exit or /after-idle") + kSeeUsage);
  return line;
}

}  // namespace halcyra
