/* A library planted beside a program under the name of a system library: it offers the same
   functions, so a program that takes it runs on and can say where its library came from. */
#include <windows.h>

__declspec(dllexport) BOOL WINAPI WTSEnumerateSessionsA(HANDLE server, DWORD reserved,
                                                         DWORD version, void** sessions,
                                                         DWORD* count) {
  (void)server, (void)reserved, (void)version;
  *sessions = NULL;
  *count = 0;
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI WTSQuerySessionInformationA(HANDLE server, DWORD session,
                                                               int kind, char** buffer,
                                                               DWORD* bytes) {
  (void)server, (void)session, (void)kind, (void)buffer, (void)bytes;
  return FALSE;
}

__declspec(dllexport) void WINAPI WTSFreeMemory(void* memory) { (void)memory; }
