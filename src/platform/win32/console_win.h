// Text for standard output or standard error. A console shows it whole, whatever its code page
// (WriteConsoleW); a file or a pipe gets it as the program holds it, UTF-8, with every line
// ending in a carriage return and a line feed, as the runtime's text mode writes it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/utf8_win.h"

namespace halcyra {

inline void WriteStandard(DWORD which, std::string_view text) {
  const HANDLE stream = GetStdHandle(which);
  if (!stream || stream == INVALID_HANDLE_VALUE) return;
  DWORD written = 0, mode = 0;
  if (GetConsoleMode(stream, &mode)) {
    const std::wstring wide = Wide(text);
    WriteConsoleW(stream, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  std::string bytes;
  bytes.reserve(text.size() + text.size() / 16);
  for (const char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  WriteFile(stream, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace halcyra
