// Paths across the boundary of the wide Win32 functions, which alone open a file without
// following links and tell where a handle leads.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace halcyra {

// A path of the program, in the ANSI code page, as the wide functions take it.
inline std::wstring WidePath(const std::string& path) {
  if (path.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), length);
  return wide;
}

inline std::string NarrowPath(const std::wstring& path) {
  if (path.empty()) return {};
  const int length = WideCharToMultiByte(CP_ACP, 0, path.data(), static_cast<int>(path.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, path.data(), static_cast<int>(path.size()), narrow.data(), length,
                      nullptr, nullptr);
  return narrow;
}

// Where the handle leads, as a drive path without the "\\?\" prefix; nullopt when Windows cannot
// tell.
inline std::optional<std::string> FinalPath(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(handle, path.data(), MAX_PATH, FILE_NAME_NORMALIZED);
  if (length >= MAX_PATH) {
    path.resize(length);
    length = GetFinalPathNameByHandleW(handle, path.data(), length, FILE_NAME_NORMALIZED);
  }
  if (length == 0 || length >= path.size()) return std::nullopt;
  path.resize(length);
  if (path.rfind(L"\\\\?\\", 0) == 0) path.erase(0, 4);
  return NarrowPath(path);
}

}  // namespace halcyra
