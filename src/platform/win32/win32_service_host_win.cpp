#include "platform/win32/win32_service_host_win.h"

#include <wtsapi32.h>

#include "core/text.h"
#include "platform/service_names.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {
namespace {

// What the terminal services handed out.
template <typename Pointer>
using UniqueWtsMemory = UniqueResource<Pointer, &WTSFreeMemory>;

}  // namespace

std::optional<std::vector<unsigned>> Win32SessionList::Sessions() const {
  WTS_SESSION_INFOW* raw = nullptr;
  DWORD count = 0;
  if (!WTSEnumerateSessionsW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &raw, &count)) return std::nullopt;
  const UniqueWtsMemory<WTS_SESSION_INFOW*> sessions(raw);
  std::vector<unsigned> ids;
  for (DWORD i = 0; i < count; ++i) ids.push_back(sessions.Get()[i].SessionId);
  return ids;
}

std::optional<std::string> Win32SessionList::UserOf(unsigned session) const {
  wchar_t* raw = nullptr;
  DWORD bytes = 0;
  if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, session, WTSUserName, &raw, &bytes))
    return std::nullopt;
  const UniqueWtsMemory<wchar_t*> user(raw);
  return user ? Utf8(user.Get()) : std::string();
}

FileFacts Win32FileInspector::Inspect(const std::string& path) const {
  FileFacts facts;
  UniqueHandle file(
      CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      facts.found = FileFacts::Found::No;
    return facts;
  }
  return FactsOf(file.Get());
}

FileFacts FactsOf(HANDLE handle) {
  FileFacts facts;
  BY_HANDLE_FILE_INFORMATION info{};
  const std::optional<std::string> final = FinalPath(handle);
  if (!GetFileInformationByHandle(handle, &info) || !final) return facts;
  facts.found = FileFacts::Found::Yes;
  facts.directory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  facts.reparsePoint = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  facts.links = info.nNumberOfLinks;
  facts.finalPath = *final;
  return facts;
}

// Reading attributes too: Facts() examine the very handle that is watched.
FolderChanges::FolderChanges(const std::string& folder)
    : folder_(CreateFileW(
          Wide(folder).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_OVERLAPPED,
          nullptr)),
      event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  if (folder_ && event_) Ask();
}

FolderChanges::~FolderChanges() {
  if (!pending_) return;
  // The read refers to this object's members: it must be over before they go.
  DWORD bytes = 0;
  CancelIoEx(folder_.Get(), &read_);
  GetOverlappedResult(folder_.Get(), &read_, &bytes, TRUE);
}

bool FolderChanges::Ask() {
  read_ = OVERLAPPED{};
  read_.hEvent = event_.Get();
  ResetEvent(event_.Get());
  constexpr DWORD kWhat = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                          FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                          FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SECURITY;
  pending_ = ReadDirectoryChangesW(folder_.Get(), notices_, sizeof notices_, FALSE, kWhat, nullptr,
                                   &read_, nullptr) != FALSE;
  return pending_;
}

bool FolderChanges::Next() {
  if (!pending_) return false;
  DWORD bytes = 0;
  if (GetOverlappedResult(folder_.Get(), &read_, &bytes, FALSE)) return Ask();
  if (GetLastError() == ERROR_IO_INCOMPLETE) return true;
  // The folder went, or the read failed: asking again could fail at once, again and again.
  pending_ = false;
  return false;
}

std::optional<FileStamp> Win32FileStamps::Stamp(const std::string& path) const {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return FileStamp{(static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                   (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                       data.ftLastWriteTime.dwLowDateTime};
}

Win32SystemLog::Win32SystemLog()
    : source_(RegisterEventSourceW(nullptr, Wide(kCompanionServiceName).c_str())) {}

Win32SystemLog::~Win32SystemLog() {
  if (source_) DeregisterEventSource(source_);
}

void Win32SystemLog::Write(ServiceEvent event, const std::string& text) {
  if (!source_) return;
  const std::wstring wide = Wide(text);
  const wchar_t* strings[] = {wide.c_str()};
  // The event's id is the number of its message in the service's message table ("%1"), which
  // the event source's registration names.
  ReportEventW(source_, IsError(event) ? EVENTLOG_ERROR_TYPE : EVENTLOG_INFORMATION_TYPE, 0,
               static_cast<DWORD>(event), nullptr, 1, 0, strings, nullptr);
}

}  // namespace halcyra
