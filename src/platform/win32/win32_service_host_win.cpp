#include "platform/win32/win32_service_host_win.h"

#include <tlhelp32.h>
#include <wtsapi32.h>

#include "core/text.h"
#include "platform/service_names.h"
#include "platform/win32/handle_win.h"

namespace halcyra {

bool Win32SessionWatch::SomeoneLoggedOn() const {
  WTS_SESSION_INFOA* sessions = nullptr;
  DWORD count = 0;
  if (!WTSEnumerateSessionsA(WTS_CURRENT_SERVER_HANDLE, 0, 1, &sessions, &count)) return false;
  bool someone = false;
  for (DWORD i = 0; i < count && !someone; ++i) {
    char* user = nullptr;
    DWORD bytes = 0;
    if (WTSQuerySessionInformationA(WTS_CURRENT_SERVER_HANDLE, sessions[i].SessionId, WTSUserName,
                                    &user, &bytes)) {
      someone = user && user[0] != '\0';
      WTSFreeMemory(user);
    }
  }
  WTSFreeMemory(sessions);
  return someone;
}

bool Win32SessionWatch::TrayProgramRuns() const {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.Get(), &entry); more;
       more = Process32Next(snapshot.Get(), &entry)) {
    UniqueHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (!process) continue;
    char image[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (QueryFullProcessImageNameA(process.Get(), 0, image, &length) &&
        EqualsIgnoreCase(image, trayPath_))
      return true;
  }
  return false;
}

std::optional<FileStamp> Win32FileStamps::Stamp(const std::string& path) const {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return FileStamp{(static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                   (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                       data.ftLastWriteTime.dwLowDateTime};
}

Win32SystemLog::Win32SystemLog() : source_(RegisterEventSourceA(nullptr, kCompanionServiceName)) {}

Win32SystemLog::~Win32SystemLog() {
  if (source_) DeregisterEventSource(source_);
}

void Win32SystemLog::Report(WORD type, const std::string& text) {
  if (!source_) return;
  const char* strings[] = {text.c_str()};
  ReportEventA(source_, type, 0, 0, nullptr, 1, 0, strings, nullptr);
}

}  // namespace halcyra
