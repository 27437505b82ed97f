#include "one_off/one_off_commands.h"

#include <cstdio>
#include <memory>

#include "actions/event_words.h"
#include "app/app_services.h"
#include "core/text.h"
#include "lang/texts.h"
#include "schedule/wake_up.h"

namespace halcyra {
namespace {

constexpr const char* kHeldInMemory =
    "A request is held in memory by the tray program only: it ends with the program.";

std::string Reply(const char* verdict, const std::string& text) {
  return std::string(verdict) + "\n" + text;
}

// The enabled timer that fires next, as "title (event) on Monday at 22:00", or empty.
std::string NextTimer(const TimerSchedule& schedule, const LocalTime& now) {
  std::optional<LocalTime> best;
  const TTimerRecord* next = nullptr;
  for (const TTimerRecord& record : schedule.Timers) {
    if (!record.Enabled) continue;
    const auto due = WakeDueTime(now, record.Time, record.Frequency);
    if (due && (!best || EncodeDateTime(*due) < EncodeDateTime(*best))) best = due, next = &record;
  }
  if (!next) return "";
  char when[48];
  std::snprintf(when, sizeof when, " on %s at %02u:%02u", kDayNames[best->dayOfWeek % 7],
                static_cast<unsigned>(best->hour), static_cast<unsigned>(best->minute));
  return next->Title + " (" + next->ShutEvent + ")" + when;
}

}  // namespace

std::string HandleOneOffCommand(std::string_view message, TimerSchedule& schedule,
                                const OneOffSources& sources) {
  const size_t end = message.find('\n');
  const std::string_view command = message.substr(0, end);
  const std::string_view body =
      end == std::string_view::npos ? std::string_view() : message.substr(end + 1);
  if (command == "do") {
    if (sources.policies.disableOneOffs) return Reply(kReplyRefused, kOneOffsTurnedOff);
    const auto request = DecodeRequest(body);
    if (!request || !MeaningOfWord(request->event))
      return Reply(kReplyRefused, "The request was not understood.");
    std::unique_ptr<ProcessWait> wait;
    if (request->condition == OneOffCondition::AfterExit) {
      wait =
          sources.processes.Watch(request->imageName, request->processId, request->processCreated);
      // Opened here, on arrival: a number that names no process, or another one than the
      // command saw, is not waited for.
      if (request->processId && wait->Count() == 0)
        return Reply(kReplyGone,
                     "No process " + std::to_string(request->processId) + " runs in this session.");
    }
    const bool replaced = schedule.OneOff != nullptr;
    schedule.OneOff = std::make_unique<PendingOneOff>(
        *request, sources.clock.Now(), sources.clock.TickCount64(), std::move(wait), &sources.load);
    return Reply(kReplyOk, std::string(replaced ? "Replaced the pending request: " : "Pending: ") +
                               schedule.OneOff->Describe(Wording::English) + ".");
  }
  if (command == "cancel") {
    const bool pending = schedule.OneOff != nullptr;
    schedule.OneOff.reset();
    return Reply(kReplyOk,
                 pending ? "The pending request is cancelled." : "No request was pending.");
  }
  if (command == "status") {
    const std::string next = NextTimer(schedule, sources.clock.Now());
    return Reply(kReplyOk,
                 (schedule.OneOff ? "Pending: " + schedule.OneOff->Describe(Wording::English) + "."
                                  : std::string("No request is pending.")) +
                     "\n" + (next.empty() ? "No timer is due." : "Next timer: " + next + ".") +
                     "\n" + kHeldInMemory);
  }
  return Reply(kReplyRefused, "The command was not understood.");
}

std::string PendingLine(const TimerSchedule& schedule) {
  return schedule.OneOff ? schedule.OneOff->Describe(Wording::UsersLanguage) : Tr(kNothingPending);
}

std::string TrayTip(const TimerSchedule& schedule) {
  // The icon's tip holds 127 UTF-16 units and its end.
  constexpr size_t kTipRoom = 127;
  std::string tip = kAppTitle;
  if (!schedule.OneOff) return tip;
  // The latest time goes first when the whole line does not fit, then the line's end.
  std::string line = schedule.OneOff->Describe(Wording::UsersLanguage);
  if (Utf16Length(tip) + 1 + Utf16Length(line) > kTipRoom)
    line = schedule.OneOff->DescribeShort(Wording::UsersLanguage);
  tip += "\n" + line;
  if (Utf16Length(tip) > kTipRoom) tip = Utf16Prefix(tip, kTipRoom - 3) + "...";
  return tip;
}

}  // namespace halcyra
