// A process that runs until it is ended (at most a minute): what a one-off request waits for.
// "window": it shows a window titled "Sleeper probe" meanwhile, as a program a user picks from
// a list; "busy": it keeps one processor busy meanwhile.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
  const DWORD start = GetTickCount();
  if (std::strcmp(arguments, "busy") == 0) {
    volatile unsigned spin = 0;
    while (GetTickCount() - start < 60000) spin = spin + 1;
    return 0;
  }
  if (std::strcmp(arguments, "window") == 0) {
    CreateWindowA("STATIC", "Sleeper probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 80,
                  nullptr, nullptr, instance, nullptr);
    SetTimer(nullptr, 0, 60000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER) DispatchMessageA(&msg);
    return 0;
  }
  Sleep(60000);
  return 0;
}
