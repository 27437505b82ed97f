#include "platform/win32/win32_clock_win.h"

#include <windows.h>

namespace halcyra {

LocalTime Win32Clock::Now() const {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth,  st.wDayOfWeek, st.wDay,
          st.wHour, st.wMinute, st.wSecond,    st.wMilliseconds};
}

LocalTime Win32Clock::UtcNow() const {
  SYSTEMTIME st;
  GetSystemTime(&st);
  return {st.wYear, st.wMonth,  st.wDayOfWeek, st.wDay,
          st.wHour, st.wMinute, st.wSecond,    st.wMilliseconds};
}

std::uint32_t Win32Clock::TickCount() const { return GetTickCount(); }

std::uint64_t Win32Clock::TickCount64() const { return GetTickCount64(); }

}  // namespace halcyra
