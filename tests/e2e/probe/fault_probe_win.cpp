// Faults the way a program bug would, after installing the program's fault report.
#include <windows.h>

#include "toolkit/fault_report_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  halcyra::InstallFaultReport();
  volatile int* nowhere = nullptr;
  *nowhere = 1;
  return 0;
}
