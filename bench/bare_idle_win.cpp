// The yardstick of the idle benchmarks: a bare Win32 program that does nothing but keep a
// hidden window with a one-second timer, the least a program with a one-second tick can cost.
// With the argument "floor" it keeps no timer and only waits on its message queue: the least
// any program with a window costs.
#include <windows.h>

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &Procedure;
  wc.hInstance = instance;
  wc.lpszClassName = "BareIdle";
  RegisterClassA(&wc);
  HWND window =
      CreateWindowA("BareIdle", "Bare", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (lstrcmpA(arguments, "floor") != 0) SetTimer(window, 1, 1000, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
