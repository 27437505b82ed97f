// What the companion service needs of the machine beyond the tray program's services: who is
// there, what its files are and how the settings file changes, the power calls a service may
// make, and the Windows event log.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace halcyra {

// The terminal-services session list of this machine.
class SessionList {
 public:
  virtual ~SessionList() = default;
  // The ids of every session; nullopt when the list cannot be read.
  virtual std::optional<std::vector<unsigned>> Sessions() const = 0;
  // The user name of a session, empty for a session without a user; nullopt when it cannot be
  // read.
  virtual std::optional<std::string> UserOf(unsigned session) const = 0;
};

// What a file or folder is, as seen through a handle that does not follow links.
struct FileFacts {
  enum class Found { Yes, No, Unknown };  // Unknown: it could not be opened or examined
  Found found = Found::Unknown;
  bool directory = false;
  bool reparsePoint = false;
  unsigned links = 0;
  // The path Windows resolves the handle to, without the "\\?\" prefix.
  std::string finalPath;
};

class FileInspector {
 public:
  virtual ~FileInspector() = default;
  virtual FileFacts Inspect(const std::string& path) const = 0;
};

// The size and last-write time of a file; nullopt when it does not exist.
struct FileStamp {
  std::uint64_t size = 0;
  std::uint64_t lastWrite = 0;
  bool operator==(const FileStamp&) const = default;
};

class FileStamps {
 public:
  virtual ~FileStamps() = default;
  virtual std::optional<FileStamp> Stamp(const std::string& path) const = 0;
};

// The power calls of a program without a user, with the arguments of the system's calls; the
// end-to-end build journals them instead.
class ServicePower {
 public:
  virtual ~ServicePower() = default;
  // InitiateShutdown; a Windows header turns that name into a macro, hence this one.
  virtual bool Shutdown(unsigned graceSeconds, unsigned flags, unsigned reason) = 0;
  virtual bool SetSuspendState(bool hibernate, bool force, bool wakeEventsDisabled) = 0;
};

namespace shutdown_flags {
inline constexpr unsigned kForceOthers = 0x1;  // SHUTDOWN_FORCE_OTHERS
inline constexpr unsigned kForceSelf = 0x2;    // SHUTDOWN_FORCE_SELF
inline constexpr unsigned kRestart = 0x4;      // SHUTDOWN_RESTART
inline constexpr unsigned kPowerOff = 0x8;     // SHUTDOWN_POWEROFF
// SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED: Windows logs
// a planned shutdown, not an unexpected one.
inline constexpr unsigned kPlannedOther = 0x80000000;
}  // namespace shutdown_flags

// The kinds of line the service writes to the Windows event log, each with an event id of its
// own (the ids of the service's message table), so that administrators can filter on them.
enum class ServiceEvent : unsigned {
  StateChanged = 1,         // started or stopped
  Acted = 2,                // a timer fell due and the service carries it out
  UserLoggedOn = 3,         // a timer fell due while a user is logged on: left to the user
  NothingToDo = 4,          // a timer whose action the service cannot take (log off, unknown)
  FileRefused = 5,          // a shared file failed its link checks
  SettingsUnreadable = 6,   // the settings could not be read or written
  ActionRefused = 7,        // Windows refused the action, or its log line could not be written
  Fault = 8,                // an error the service did not expect
  ChannelRefused = 9,       // the tray program could not open HalcyraCmd's pipe
  TimersCannotWake = 10,    // Windows armed a wake-up timer but cannot wake the machine from it
  ServiceAccount = 11,      // the tray program was started for a service account and ended
  NoRedirectionTrust = 12,  // Windows lacks the mitigation that refuses planted junctions
  PolicyIgnored = 13,       // a policy value of the wrong type or out of range
};

inline bool IsError(ServiceEvent event) {
  return event == ServiceEvent::FileRefused || event == ServiceEvent::SettingsUnreadable ||
         event == ServiceEvent::ActionRefused || event == ServiceEvent::Fault ||
         event == ServiceEvent::ChannelRefused || event == ServiceEvent::ServiceAccount ||
         event == ServiceEvent::PolicyIgnored;
}

class SystemLog {
 public:
  virtual ~SystemLog() = default;
  virtual void Write(ServiceEvent event, const std::string& text) = 0;
};

}  // namespace halcyra
