#include "toolkit/fault_report_win.h"

#include <windows.h>

#include <cstdio>

#include "platform/win32/console_win.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {
namespace {

LONG WINAPI ReportFaultInBox(EXCEPTION_POINTERS* info) {
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  // Task-modal and without an owner: the program's windows may be in any state by now.
  MessageBoxW(nullptr, Wide(FaultMessage(code)).c_str(), L"Halcyra",
              MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
  TerminateProcess(GetCurrentProcess(), code);
  return EXCEPTION_EXECUTE_HANDLER;
}

LONG WINAPI ReportFaultOnStandardError(EXCEPTION_POINTERS* info) {
  const DWORD code = info->ExceptionRecord->ExceptionCode;
  WriteStandardError(FaultMessage(code));
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

void WriteStandardError(const std::string& text) { WriteStandard(STD_ERROR_HANDLE, text + "\n"); }

void InstallFaultReport(FaultNotice notice) {
  SetUnhandledExceptionFilter(notice == FaultNotice::Box ? &ReportFaultInBox
                                                         : &ReportFaultOnStandardError);
  // The system's own crash dialog would come after ours, or instead of it.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
}

}  // namespace halcyra
