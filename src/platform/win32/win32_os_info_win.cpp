#include "platform/win32/win32_os_info_win.h"

#include <windows.h>

#include <shlobj.h>

#include "platform/win32/handle_win.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {

OsVersion Win32OsInfo::Version() const {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;  // 148
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&info);
#pragma GCC diagnostic pop
  return {info.dwMajorVersion, info.dwMinorVersion};
}

std::optional<std::string> Win32OsInfo::CommonAppDataFolder() const {
  ITEMIDLIST* raw = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_COMMON_APPDATA, &raw))) return std::nullopt;
  const UniqueCoTaskMem<ITEMIDLIST*> pidl(raw);
  wchar_t buffer[MAX_PATH] = {};
  SHGetPathFromIDListW(pidl.Get(), buffer);
  return Utf8(buffer);
}

}  // namespace halcyra
