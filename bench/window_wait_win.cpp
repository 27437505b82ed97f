// Waits until a top-level window of this class exists (at most 60 s) and prints the moment it
// saw it, as nanoseconds since 1970 on the system clock, which the host's `date +%s%N` reads
// too. The idle benchmark starts it before the program it times, so that its own start does
// not compete with the program's. Exits 0 when the window came, 1 when it did not.
#include <windows.h>

#include <mmsystem.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  // Sleep(1) waits one millisecond, not one scheduler tick.
  timeBeginPeriod(1);
  for (int i = 0; i < 60000; ++i) {
    if (FindWindowA(argv[1], nullptr)) {
      // Wine reads the host's clock here to the microsecond; Windows to its clock tick.
      FILETIME now;
      GetSystemTimeAsFileTime(&now);
      const unsigned long long since1601 =
          (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
      constexpr unsigned long long k1970 = 116444736000000000ull;  // in 100 ns
      std::printf("%llu\n", (since1601 - k1970) * 100);
      return 0;
    }
    Sleep(1);
  }
  return 1;
}
