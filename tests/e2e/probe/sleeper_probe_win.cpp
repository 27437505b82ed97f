// A process that runs until it is ended (at most a minute): what a one-off request waits for.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Sleep(60000);
  return 0;
}
