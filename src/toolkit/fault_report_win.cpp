#include "toolkit/fault_report_win.h"

#include <windows.h>

#include <cstdio>

namespace halcyra {
namespace {

LONG WINAPI ReportFault(EXCEPTION_POINTERS* info) {
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  // Task-modal and without an owner: the program's windows may be in any state by now.
  MessageBoxA(nullptr, FaultMessage(code).c_str(), "Halcyra",
              MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
  TerminateProcess(GetCurrentProcess(), code);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

std::string FaultMessage(unsigned long code) {
  char text[160];
  std::snprintf(text, sizeof text,
                "Halcyra stopped after an unexpected fault (code 0x%08lX). Start it again to "
                "keep the schedule running.",
                code);
  return text;
}

void InstallFaultReport() {
  SetUnhandledExceptionFilter(&ReportFault);
  // The system's own crash dialog would come after ours, or instead of it.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
}

}  // namespace halcyra
