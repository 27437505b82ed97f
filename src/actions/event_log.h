// The event log "Log.txt" beside the settings file: one line per action performed.
#pragma once

#include <stdexcept>
#include <string>

#include "core/local_time.h"
#include "platform/os_info.h"
#include "platform/regional_settings.h"
#include "platform/text_files.h"

namespace halcyra {

class LogWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The data folder without a trailing backslash, then "\Log.txt".
std::string LogFilePath(const OsInfo& os);

// "2026-03-03 09:05:07    Power off" with the regional time separator and CRLF.
std::string EventLine(const LocalTime& now, const std::string& timeSeparator,
                      const std::string& eventWord);

struct EventLogServices {
  const OsInfo& os;
  TextFiles& files;
  const RegionalSettings& regional;
};

// Appends one line; raises LogWriteError when the file cannot be written.
void AppendEventLine(const EventLogServices& services, const LocalTime& now,
                     const std::string& eventWord);

}  // namespace halcyra
