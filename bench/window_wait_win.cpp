// Waits until a top-level window of this class exists (at most 30 s); the idle benchmark times
// a program's start with it. Exits 0 when the window came, 1 when it did not.
#include <windows.h>

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  for (int i = 0; i < 3000; ++i) {
    if (FindWindowA(argv[1], nullptr)) return 0;
    Sleep(10);
  }
  return 1;
}
