// A SID as its text ("S-1-5-32-544"), the form the program compares and writes.
#pragma once

#include <windows.h>

#include <sddl.h>

#include <string>

#include "platform/win32/handle_win.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {

// Empty when there is no SID or it cannot be written.
inline std::string SidText(PSID sid) {
  wchar_t* text = nullptr;
  if (!sid || !ConvertSidToStringSidW(sid, &text)) return "";
  const UniqueLocal owned(text);
  return Utf8(text);
}

}  // namespace halcyra
