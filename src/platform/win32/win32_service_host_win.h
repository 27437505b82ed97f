// The companion service's view of the machine: sessions and processes, file stamps and the
// Windows event log.
#pragma once

#include <windows.h>

#include <string>

#include "platform/service_host.h"

namespace halcyra {

class Win32SessionWatch final : public SessionWatch {
 public:
  // The tray program is this file: the program's executable in the service's own folder.
  explicit Win32SessionWatch(std::string trayProgramPath) : trayPath_(std::move(trayProgramPath)) {}
  bool SomeoneLoggedOn() const override;
  bool TrayProgramRuns() const override;

 private:
  std::string trayPath_;
};

class Win32FileStamps final : public FileStamps {
 public:
  std::optional<FileStamp> Stamp(const std::string& path) const override;
};

// Entries of the Application log under the source "Halcyra_Service".
class Win32SystemLog final : public SystemLog {
 public:
  Win32SystemLog();
  ~Win32SystemLog() override;
  Win32SystemLog(const Win32SystemLog&) = delete;
  Win32SystemLog& operator=(const Win32SystemLog&) = delete;
  void Info(const std::string& text) override { Report(EVENTLOG_INFORMATION_TYPE, text); }
  void Error(const std::string& text) override { Report(EVENTLOG_ERROR_TYPE, text); }

 private:
  void Report(WORD type, const std::string& text);
  HANDLE source_;
};

}  // namespace halcyra
