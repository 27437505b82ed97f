// Starts as both programs start, then asks for the session list, whose library is not one that
// Windows keeps loaded: exit code 0 when it came from the system folder, 3 when from elsewhere
// (a library planted beside a copy of this program).
#include <windows.h>

#include <string>

#include "platform/win32/process_hardening_win.h"
#include "platform/win32/win32_service_host_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  halcyra::HardenProcess();
  halcyra::Win32SessionList().Sessions();
  char loaded[MAX_PATH] = {}, system[MAX_PATH] = {};
  GetModuleFileNameA(GetModuleHandleA("wtsapi32.dll"), loaded, MAX_PATH);
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, loaded, static_cast<int>(length), system,
                        static_cast<int>(length)) == CSTR_EQUAL
             ? 0
             : 3;
}
