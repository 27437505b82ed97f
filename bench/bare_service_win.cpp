// The yardstick of the service's idle benchmark: a service that does nothing but report itself
// running and wait for its stop request, the least a service can cost while it waits.
#include <windows.h>

namespace {

SERVICE_STATUS_HANDLE status_handle = nullptr;
HANDLE stop = nullptr;

void Report(DWORD state) {
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = state;
  status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  SetServiceStatus(status_handle, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
  if (control != SERVICE_CONTROL_STOP) return ERROR_CALL_NOT_IMPLEMENTED;
  Report(SERVICE_STOP_PENDING);
  SetEvent(stop);
  return NO_ERROR;
}

void WINAPI Main(DWORD, LPSTR*) {
  status_handle = RegisterServiceCtrlHandlerExA("BareService", &Control, nullptr);
  if (!status_handle) return;
  Report(SERVICE_RUNNING);
  WaitForSingleObject(stop, INFINITE);
  Report(SERVICE_STOPPED);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  char name[] = "BareService";
  const SERVICE_TABLE_ENTRYA table[] = {{name, &Main}, {nullptr, nullptr}};
  return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
