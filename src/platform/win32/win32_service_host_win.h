// The companion service's view of the machine: sessions, the shared files and their stamps,
// and the Windows event log.
#pragma once

#include <windows.h>

#include <string>

#include "platform/service_host.h"
#include "platform/win32/handle_win.h"

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

// Notices of changes to one folder's entries: names, sizes, last writes, attributes and rights.
// The folder is opened as itself, not through a link, so that Facts() describe what is watched;
// a watch whose facts are not those of the plain folder is to be dropped by its owner. It holds
// a read in flight that refers to it, so it stays where it was made.
class FolderChanges {
 public:
  explicit FolderChanges(const std::string& folder);
  ~FolderChanges();
  FolderChanges(const FolderChanges&) = delete;
  FolderChanges& operator=(const FolderChanges&) = delete;

  // Whether notices come; false when the folder could not be opened or watched, or the watch
  // ended.
  bool Watching() const { return pending_; }
  FileFacts Facts() const { return FactsOf(folder_.Get()); }
  // Signalled when a notice came (also when the system's list of them overflowed).
  HANDLE Event() const { return event_.Get(); }
  // After the event: takes the notice and asks for the next one; false when the watch ended,
  // as it does when the folder is deleted or the read fails.
  bool Next();

 private:
  bool Ask();

  UniqueHandle folder_;
  UniqueHandle event_;
  OVERLAPPED read_{};
  bool pending_ = false;
  // What Windows writes the notices into; only their coming counts here.
  alignas(DWORD) char notices_[4096] = {};
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
