#include "platform/win32/win32_process_waits_win.h"

#include <tlhelp32.h>

#include <vector>

#include "core/text.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {
namespace {

class HandleWait final : public ProcessWait {
 public:
  HandleWait(std::vector<UniqueHandle> processes, std::function<void()> ended)
      : processes_(std::move(processes)), ended_(std::move(ended)) {
    if (!ended_) return;
    for (const UniqueHandle& process : processes_) {
      HANDLE wait = nullptr;
      if (!RegisterWaitForSingleObject(&wait, process.Get(), &Ended, this, INFINITE,
                                       WT_EXECUTEONLYONCE))
        return;
      waits_.push_back(wait);
    }
  }
  ~HandleWait() override {
    // Waits for a notice under way: none may run once this object is gone.
    for (const HANDLE wait : waits_) UnregisterWaitEx(wait, INVALID_HANDLE_VALUE);
  }
  HandleWait(const HandleWait&) = delete;
  HandleWait& operator=(const HandleWait&) = delete;
  unsigned Count() const override { return static_cast<unsigned>(processes_.size()); }
  bool NoticesEnd() const override { return !waits_.empty() && waits_.size() == processes_.size(); }
  bool Ended() const override {
    for (const UniqueHandle& process : processes_)
      if (WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) return false;
    return true;
  }

 private:
  static void CALLBACK Ended(void* self, BOOLEAN) { static_cast<HandleWait*>(self)->ended_(); }

  std::vector<UniqueHandle> processes_;
  std::function<void()> ended_;
  std::vector<HANDLE> waits_;
};

std::uint64_t CreationOf(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

DWORD SessionOf(DWORD processId) {
  DWORD session = 0;
  return ProcessIdToSessionId(processId, &session) ? session : 0xFFFFFFFF;
}

}  // namespace

std::uint64_t ProcessCreationTime(unsigned processId) {
  const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  return process ? CreationOf(process.Get()) : 0;
}

std::unique_ptr<ProcessWait> Win32ProcessWaits::Watch(const std::string& imageName,
                                                      unsigned processId, std::uint64_t createdAt) {
  // Looked up once, now: from here on only the handles are read, so a process started later
  // under the same name is not waited for.
  const DWORD ownSession = SessionOf(GetCurrentProcessId());
  std::vector<UniqueHandle> processes;
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = snapshot && Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry)) {
    const bool wanted = processId ? entry.th32ProcessID == processId
                                  : EqualsIgnoreCase(Utf8(entry.szExeFile), imageName);
    if (!wanted || SessionOf(entry.th32ProcessID) != ownSession) continue;
    const DWORD rights = SYNCHRONIZE | (createdAt ? PROCESS_QUERY_LIMITED_INFORMATION : 0);
    UniqueHandle process(OpenProcess(rights, FALSE, entry.th32ProcessID));
    // A number given out again since the command looked is another process.
    if (process && (!createdAt || CreationOf(process.Get()) == createdAt))
      processes.push_back(std::move(process));
  }
  return std::make_unique<HandleWait>(std::move(processes), ended_);
}

std::vector<RunningProgram> Win32ProcessWaits::WindowedPrograms() const {
  struct Walk {
    DWORD self;
    DWORD session;
    std::vector<RunningProgram> programs;
  } walk{GetCurrentProcessId(), SessionOf(GetCurrentProcessId()), {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& w = *reinterpret_cast<Walk*>(param);
        // What the taskbar shows: visible, unowned, titled, and no tool window.
        if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER) ||
            (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
          return TRUE;
        wchar_t title[256];
        if (GetWindowTextW(window, title, 256) <= 0) return TRUE;
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        if (processId == w.self || SessionOf(processId) != w.session) return TRUE;
        const UniqueHandle process(
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
        wchar_t path[MAX_PATH];
        DWORD length = MAX_PATH;
        if (!process || !QueryFullProcessImageNameW(process.Get(), 0, path, &length)) return TRUE;
        const std::wstring_view full(path, length);
        // UTF-8, as the process list names images when a request waits for them.
        RunningProgram program{Utf8(title), Utf8(full.substr(full.find_last_of(L"\\/") + 1))};
        for (const RunningProgram& known : w.programs)
          if (known == program) return TRUE;
        w.programs.push_back(std::move(program));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
  return walk.programs;
}

std::uint64_t Win32InputIdle::IdleMilliseconds() const {
  LASTINPUTINFO input{};
  input.cbSize = sizeof input;
  if (!GetLastInputInfo(&input)) return 0;
  // Both counts wrap together after 49.7 days: the difference in 32 bits is still right.
  return static_cast<DWORD>(GetTickCount() - input.dwTime);
}

}  // namespace halcyra
