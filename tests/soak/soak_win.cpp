// The soak test: the end-to-end build runs for MINUTES with a timer that fires every minute
// (Suspend, Duration 2), its hotkey pressed, its main window shown, OK pressed and hidden
// again, the timer editor opened and closed, and a one-off request counted down and carried
// out, every few seconds. Sampled each minute: what Wine can show of the program, its windows
// (top-level and child), its threads, open files and anonymous memory as the host sees them;
// and what Windows shows, its handles, GDI and USER objects and private memory. From the first
// sample after an action was carried out to the end, none may grow beyond a small bound.
// Prints the figures; exits 1 when a bound is broken or no action was carried out, 2 when the
// program did not run.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "driver/driver_win.h"
#include "schedule/timer_editor_ids.h"
#include "ui/main_window_ids.h"

using namespace halcyra::e2e;
namespace ids = halcyra::main_ids;

namespace {

struct Sample {
  double minute;
  long windows;
  DWORD handles, gdi, user;
  double privateMb;
  // Under Wine the calls above report nothing of another process: the host's view of the same
  // process (found through Wine's Z: drive) stands in, its anonymous memory and open files.
  double hostPrivateMb;
  long hostFiles, hostThreads;
};

// The program's windows, top-level and child: a window left behind by each show or countdown
// shows here under Wine, whose object counts read 0.
long Windows(DWORD process) {
  struct Count {
    DWORD process;
    long windows = 0;
  } count{process};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& c = *reinterpret_cast<Count*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != c.process) return TRUE;
        ++c.windows;
        EnumChildWindows(
            window,
            [](HWND, LPARAM children) -> BOOL {
              ++*reinterpret_cast<long*>(children);
              return TRUE;
            },
            reinterpret_cast<LPARAM>(&c.windows));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.windows;
}

// The host's process id of a Wine process running this executable in this run's prefix, or 0
// off Wine: another test run on the same host runs the same executable in a prefix of its own.
std::string HostProcess(const std::string& exeName) {
  char prefix[MAX_PATH] = {};
  GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH);
  const std::string ownPrefix = std::string("WINEPREFIX=") + prefix + '\0';
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
  if (search == INVALID_HANDLE_VALUE) return "";
  std::string found;
  do {
    const std::string id = entry.cFileName;
    if (id.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string cmdline = ReadFileText("Z:\\proc\\" + id + "\\cmdline");
    if (cmdline.find(exeName) != std::string::npos && cmdline.find("soak") == std::string::npos &&
        ReadFileText("Z:\\proc\\" + id + "\\environ").find(ownPrefix) != std::string::npos)
      found = id;
  } while (found.empty() && FindNextFileA(search, &entry));
  FindClose(search);
  return found;
}

double StatusKb(const std::string& status, const char* field) {
  const auto at = status.find(field);
  return at == std::string::npos ? 0 : std::atof(status.c_str() + at + std::strlen(field));
}

// The entries of a folder of the host's /proc for the process: its open files or its threads.
long ProcEntries(const std::string& hostId, const char* folder) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(("Z:\\proc\\" + hostId + "\\" + folder + "\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return 0;
  long count = 0;
  do count += entry.cFileName[0] != '.';
  while (FindNextFileA(search, &entry));
  FindClose(search);
  return count;
}

// Measured between countdowns: an open countdown's windows are no leak.
Sample Measure(const AppProcess& app, HANDLE process, const std::string& hostId, double minute) {
  WaitUntil([&app] { return !FindWindowOf(app, "TFrmNotify", "Halcyra", 0ms); }, 10s);
  Sample s{minute, Windows(GetProcessId(process)), 0, 0, 0, 0, 0, 0, 0};
  GetProcessHandleCount(process, &s.handles);
  s.gdi = GetGuiResources(process, GR_GDIOBJECTS);
  s.user = GetGuiResources(process, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof memory))
    s.privateMb = static_cast<double>(memory.PrivateUsage) / (1024 * 1024);
  if (!hostId.empty()) {
    const std::string status = ReadFileText("Z:\\proc\\" + hostId + "\\status");
    s.hostPrivateMb = StatusKb(status, "RssAnon:") / 1024;
    s.hostFiles = ProcEntries(hostId, "fd");
    s.hostThreads = ProcEntries(hostId, "task");
  }
  return s;
}

// A Suspend timer for each of the coming minutes.
std::string Timers(int minutes) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  std::string timers = "[Timer]\r\n";
  for (int i = 1; i <= minutes + 1; ++i) {
    const int at = (now.wHour * 60 + now.wMinute + i) % (24 * 60);
    char line[64];
    std::snprintf(line, sizeof line, "soak%04d=enabled,Suspend,%02d:%02d,Daily\r\n", i, at / 60,
                  at % 60);
    timers += line;
  }
  return timers;
}

}  // namespace

int main(int argc, char** argv) {
  const int minutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
  WriteFileText(DataFile("Halcyra.ini"),
                "[general]\r\nFirstStartDone=True\r\nDuration=2\r\n"
                "[Hotkeys]\r\nSuspend=Ctrl+Alt+U\r\n" +
                    Timers(minutes));
  RemoveFile(DataFile("Effects.txt"));
  AppProcess app;
  HWND main = FindWindowOf(app, "TFrmMain", "Halcyra");
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, app.Id());
  if (!main || !process) return 2;
  const std::string hostId = HostProcess("Halcyra-e2e.exe");

  std::vector<Sample> samples{Measure(app, process, hostId, 0)};
  const auto start = std::chrono::steady_clock::now();
  const auto end = start + std::chrono::minutes(minutes);
  auto nextSample = start + std::chrono::minutes(1);
  int rounds = 0;
  // Growth counts from the sample taken once everything has been done once: the first window,
  // editor and countdown make their lasting objects then.
  std::size_t warm = 0;
  while (std::chrono::steady_clock::now() < end && app.Running()) {
    // Show, open and close the editor, OK; then the hotkey.
    if (HWND shown = ShowMainWindow(app)) {
      SelectTab(Control(shown, ids::kPageControl), 2);
      ClickDialogButton(shown, ids::kBtnAdd);
      if (HWND editor = FindWindowOf(app, "TFrmTimer", "Timer settings", 2s)) {
        WaitVisible(editor, true, 2s);
        ClickDialogButton(editor, halcyra::timer_ids::kCancel);
        WaitVisible(editor, false, 2s);
      }
      ClickDialogButton(shown, ids::kOk);
      WaitVisible(shown, false, 5s);
    }
    if (rounds % 3 == 0) PressKeys("ctrl+alt+u");
    // A one-off request: its countdown opens, counts and closes.
    if (rounds % 3 == 1)
      RunCommand("\"" + AppProcess::ExePath("HalcyraCmd-e2e.exe") + "\" /do Suspend /in 0", 10s);
    ++rounds;
    if (warm == 0 &&
        ReadFileText(DataFile("Effects.txt")).find("SetSystemPowerState") != std::string::npos) {
      const double minute =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / 60;
      samples.push_back(Measure(app, process, hostId, minute));
      warm = samples.size() - 1;
    }
    std::this_thread::sleep_for(3s);
    if (std::chrono::steady_clock::now() >= nextSample) {
      const double minute =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / 60;
      samples.push_back(Measure(app, process, hostId, minute));
      nextSample += std::chrono::minutes(1);
    }
  }
  const bool ran = app.Running();
  samples.push_back(Measure(app, process, hostId, minutes));

  std::printf("%8s %8s %8s %6s %6s %12s %14s %11s %13s\n", "minute", "windows", "handles", "GDI",
              "USER", "private MB", "host anon MB", "host files", "host threads");
  for (const Sample& s : samples)
    std::printf("%8.1f %8ld %8lu %6lu %6lu %12.2f %14.2f %11ld %13ld\n", s.minute, s.windows,
                s.handles, s.gdi, s.user, s.privateMb, s.hostPrivateMb, s.hostFiles, s.hostThreads);
  const std::string effects = ReadFileText(DataFile("Effects.txt"));
  std::size_t actions = 0;
  for (auto at = effects.find("SetSystemPowerState"); at != std::string::npos;
       at = effects.find("SetSystemPowerState", at + 1))
    ++actions;
  std::printf(
      "%d rounds of show, editor, OK, hotkey or request; %zu suspends journaled (timers, hotkey, "
      "requests)\n",
      rounds, actions);

  // From the first sample after a round with an action to the end, nothing may keep growing.
  if (warm == 0 || actions == 0) {
    std::printf("no action was carried out: nothing was soaked\n");
    return 1;
  }
  const Sample& base = samples[warm];
  const Sample& last = samples.back();
  const bool measured = last.privateMb > 0 || last.hostPrivateMb > 0;
  // A window or a thread more is a leak of one show or one countdown: none may stay behind.
  const bool bounded = last.windows <= base.windows && last.hostThreads <= base.hostThreads + 1 &&
                       last.handles <= base.handles + 20 && last.gdi <= base.gdi + 20 &&
                       last.user <= base.user + 20 && last.privateMb <= base.privateMb + 4.0 &&
                       last.hostPrivateMb <= base.hostPrivateMb + 4.0 &&
                       last.hostFiles <= base.hostFiles + 20;
  std::printf(
      "growth after the warm-up: windows %+ld, handles %+ld, GDI %+ld, USER %+ld, private %+.2f "
      "MB, host anon %+.2f MB, host files %+ld, host threads %+ld: %s\n",
      last.windows - base.windows,
      static_cast<long>(last.handles) - static_cast<long>(base.handles),
      static_cast<long>(last.gdi) - static_cast<long>(base.gdi),
      static_cast<long>(last.user) - static_cast<long>(base.user), last.privateMb - base.privateMb,
      last.hostPrivateMb - base.hostPrivateMb, last.hostFiles - base.hostFiles,
      last.hostThreads - base.hostThreads, bounded ? "bounded" : "GROWING");
  CloseHandle(process);
  if (!measured) {
    std::printf("no figure of the program's memory could be read\n");
    return 2;
  }
  if (!ran) {
    std::printf("the program ended during the soak\n");
    return 2;
  }
  return bounded ? 0 : 1;
}
