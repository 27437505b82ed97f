// Text across the boundary of the wide Win32 functions. Inside the program every string is
// UTF-8, so that every name Windows can hold survives; the ANSI code page, which holds only some
// of them, is met only where a file holds its text (platform/code_page.h).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace halcyra {

inline std::wstring WideText(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

// With the ANSI code page, a character it cannot hold becomes "?", never a lookalike ("\u0141"
// as "L"), which would name another file.
inline std::string NarrowText(std::wstring_view text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int length =
      WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, text.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

// Text of the program, as the wide functions take it.
inline std::wstring Wide(std::string_view text) { return WideText(text, CP_UTF8); }

// Text from a wide function, as the program keeps it.
inline std::string Utf8(std::wstring_view text) { return NarrowText(text, CP_UTF8); }

// The program's own file.
inline std::string ProgramFilePath() {
  // A long path does not fit MAX_PATH: the buffer grows until the whole name fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return "";
    if (length < path.size()) return Utf8(std::wstring_view(path.data(), length));
    path.resize(path.size() * 2);
  }
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
  return Utf8(path);
}

}  // namespace halcyra
