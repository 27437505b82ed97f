#include "actions/event_log.h"

#include <cstdio>

#include "app/paths.h"
#include "core/text.h"
#include "platform/code_page.h"

namespace halcyra {

std::string LogFilePath(const OsInfo& os) { return JoinPath(GetDataFolder(os), "Log.txt"); }

std::string EventLine(const LocalTime& now, const std::string& timeSeparator,
                      const std::string& eventWord) {
  char date[16];
  std::snprintf(date, sizeof date, "%04u-%02u-%02u", now.year % 10000u, now.month % 100u,
                now.day % 100u);
  char hour[4], minute[4], second[4];
  std::snprintf(hour, sizeof hour, "%02u", now.hour % 100u);
  std::snprintf(minute, sizeof minute, "%02u", now.minute % 100u);
  std::snprintf(second, sizeof second, "%02u", now.second % 100u);
  return std::string(date) + " " + hour + timeSeparator + minute + timeSeparator + second + "    " +
         eventWord + "\r\n";
}

void AppendEventLine(const EventLogServices& services, const LocalTime& now,
                     const std::string& eventWord) {
  const std::string path = LogFilePath(services.os);
  if (!services.files.Exists(path)) services.files.CreateEmpty(path);
  const std::string line = EventLine(now, services.regional.Current().timeSeparator, eventWord);
  // The log is text of the code page, as its readers take it.
  if (!services.files.Append(path, CodePageFromUtf8(line)))
    throw LogWriteError("Cannot write to " + path);
}

}  // namespace halcyra
