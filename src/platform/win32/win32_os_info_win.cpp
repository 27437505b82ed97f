#include "platform/win32/win32_os_info_win.h"

#include <windows.h>

#include <shlobj.h>

#include <memory>

#include "platform/win32/utf8_win.h"

namespace halcyra {
namespace {

struct PidlFree {
  void operator()(ITEMIDLIST* pidl) const { CoTaskMemFree(pidl); }
};

}  // namespace

OsVersion Win32OsInfo::Version() const {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;  // 148
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&info);
#pragma GCC diagnostic pop
  return {info.dwMajorVersion, info.dwMinorVersion};
}

std::string Win32OsInfo::WindowsDirectory() const {
  wchar_t buffer[MAX_PATH] = {};
  GetWindowsDirectoryW(buffer, MAX_PATH);
  return Utf8(buffer);
}

std::optional<std::string> Win32OsInfo::CommonAppDataFolder() const {
  ITEMIDLIST* raw = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_COMMON_APPDATA, &raw))) return std::nullopt;
  std::unique_ptr<ITEMIDLIST, PidlFree> pidl(raw);
  wchar_t buffer[MAX_PATH] = {};
  SHGetPathFromIDListW(pidl.get(), buffer);
  return Utf8(buffer);
}

}  // namespace halcyra
