// The companion service's view of the machine: sessions, the shared files and their stamps,
// and the Windows event log.
#pragma once

#include <windows.h>

#include <string>

#include "platform/service_host.h"

namespace halcyra {

class Win32SessionList final : public SessionList {
 public:
  std::optional<std::vector<unsigned>> Sessions() const override;
  std::optional<std::string> UserOf(unsigned session) const override;
};

// Opens with FILE_FLAG_OPEN_REPARSE_POINT: Windows then shows a link as itself. Wine follows it
// all the same, but the final path then names the link's target, which the checks compare.
// What the handle is: opened with FILE_FLAG_OPEN_REPARSE_POINT, a link on Windows shows as one.
FileFacts FactsOf(HANDLE handle);

class Win32FileInspector final : public FileInspector {
 public:
  FileFacts Inspect(const std::string& path) const override;
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
  void Write(ServiceEvent event, const std::string& text) override;

 private:
  HANDLE source_;
};

}  // namespace halcyra
