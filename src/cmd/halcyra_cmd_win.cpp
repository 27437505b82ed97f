// HalcyraCmd.exe: a console program, so that scripts get its output and exit code. It asks the
// tray program of this user and session, through its named pipe, to do one thing once, to
// cancel that, or to say what is pending; without a running tray program it starts one for a
// request.
#include <windows.h>

#include <string>

#include "app/app_services.h"
#include "cmd/command_line.h"
#include "cmd/tray_program_win.h"
#include "core/command_line_words.h"
#include "core/text.h"
#include "platform/win32/console_win.h"
#include "platform/win32/process_hardening_win.h"
#include "platform/win32/process_identity_win.h"
#include "platform/win32/utf8_win.h"
#include "platform/win32/win32_process_waits_win.h"
#include "schedule/one_off.h"

namespace {

using namespace halcyra;

constexpr DWORD kStartWaitMs = 30000;  // a tray program's start, the first-run wizard aside
constexpr DWORD kAnswerWaitMs = 10000;
constexpr DWORD kBusyWaitMs = 2000;
constexpr DWORD kReplyLimit = 64 * 1024;
constexpr const char* kNoAnswer = "No Halcyra tray program of this user and session answered";

int Fail(int code, const std::string& message) {
  WriteStandard(STD_ERROR_HANDLE, CmdErrorLine(code, message) + "\n");
  return code;
}

// The tray program's pipe, or nothing when no tray program serves it. Identification only:
// whoever serves the name may read this token, never act with it.
UniqueHandle OpenTrayPipe(const std::wstring& name) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    UniqueHandle pipe(CreateFileW(
        name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
        FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
    if (pipe || GetLastError() != ERROR_PIPE_BUSY) return pipe;
    WaitNamedPipeW(name.c_str(), kBusyWaitMs);
  }
  return UniqueHandle();
}

bool ShowsWizard(DWORD processId) {
  const HWND wizard = FindWindowW(L"TForm1", L"Wizard of Halcyra");
  DWORD owner = 0;
  return wizard && GetWindowThreadProcessId(wizard, &owner) && owner == processId;
}

// An ordinary start of the tray program beside this one, without arguments; then its pipe.
UniqueHandle StartTrayProgram(const std::wstring& name) {
  std::wstring line = Wide("\"" + JoinPath(FolderOf(ProgramFilePath()), TrayProgramFile()) + "\"");
  // No standard handles of ours: a script that reads this program's output to its end must
  // not wait for the tray program, which runs on.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                      nullptr, &startup, &process))
    return UniqueHandle();
  const UniqueHandle thread(process.hThread), running(process.hProcess);
  bool told = false;
  for (DWORD waited = 0; waited < kStartWaitMs; waited += 100) {
    if (UniqueHandle pipe = OpenTrayPipe(name)) return pipe;
    // A first start shows the wizard before the main window: however long the user takes
    // over it, the request follows once it is closed.
    if (ShowsWizard(process.dwProcessId)) {
      if (!told) {
        WriteStandard(STD_OUTPUT_HANDLE,
                      "INFO: Halcyra shows its first-run wizard; the request follows once it is "
                      "closed.\n");
        told = true;
      }
      waited = 0;
    }
    if (WaitForSingleObject(running.Get(), 100) != WAIT_TIMEOUT) return UniqueHandle();
  }
  return UniqueHandle();
}

// One overlapped transfer on the pipe, waited for up to `timeoutMs`.
bool Transfer(HANDLE pipe, bool write, char* data, DWORD size, DWORD& done, DWORD timeoutMs) {
  const UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  OVERLAPPED operation{};
  operation.hEvent = event.Get();
  const BOOL started = write ? WriteFile(pipe, data, size, &done, &operation)
                             : ReadFile(pipe, data, size, &done, &operation);
  if (!started && GetLastError() != ERROR_IO_PENDING && GetLastError() != ERROR_MORE_DATA)
    return false;
  if (WaitForSingleObject(event.Get(), timeoutMs) != WAIT_OBJECT_0) {
    CancelIo(pipe);
    GetOverlappedResult(pipe, &operation, &done, TRUE);
    return false;
  }
  return GetOverlappedResult(pipe, &operation, &done, FALSE) || GetLastError() == ERROR_MORE_DATA;
}

// The command sent as one message, the reply read as one; nothing when it does not come.
std::optional<std::string> Ask(HANDLE pipe, std::string command) {
  DWORD mode = PIPE_READMODE_MESSAGE, done = 0;
  if (!SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr) ||
      !Transfer(pipe, true, command.data(), static_cast<DWORD>(command.size()), done,
                kAnswerWaitMs) ||
      done != command.size())
    return std::nullopt;
  std::string reply(kReplyLimit, '\0');
  if (!Transfer(pipe, false, reply.data(), kReplyLimit, done, kAnswerWaitMs) || done == 0)
    return std::nullopt;
  reply.resize(done);
  return reply;
}

}  // namespace

int main() {
  HardenProcess();
  const auto parsed = ParseCmdLine(SplitCommandLine(Utf8(GetCommandLineW())));
  if (const auto* error = std::get_if<CmdError>(&parsed))
    return Fail(error->exitCode, error->message);
  const CmdLine& line = std::get<CmdLine>(parsed);
  if (line.action == CmdAction::Help) {
    WriteStandard(STD_OUTPUT_HANDLE, kCmdUsage);
    return line.helpExitCode;
  }
  // Started as SYSTEM by a task or a management script, it would start the tray program as
  // SYSTEM: nothing is asked of anyone.
  const std::optional<PeerIdentity> self = OwnIdentity();
  if (const std::string why = ServiceAccountRefusal(self); !why.empty())
    return Fail(cmd_exit::kNoTrayProgram,
                "HalcyraCmd acts only for a logged-on user, and " + why +
                    ". Run it in a task that runs as the user, only when the user is logged on, "
                    "or give the timer to the companion service's schedule");
  OneOffRequest request = line.request;
  // The process's creation time goes with its number: the tray program opens it later.
  if (request.processId) request.processCreated = ProcessCreationTime(request.processId);
  if (line.action == CmdAction::Do && request.condition == OneOffCondition::AfterExit &&
      (request.processId ? request.processCreated == 0
                         : Win32ProcessWaits().Watch(request.imageName, 0, 0)->Count() == 0))
    return Fail(cmd_exit::kNoProcess, "No process " +
                                          (request.processId ? std::to_string(request.processId)
                                                             : "\"" + request.imageName + "\"") +
                                          " runs in this session");
  const std::string name = OneOffPipeName(*self);
  UniqueHandle pipe = OpenTrayPipe(Wide(name));
  if (!pipe && line.action == CmdAction::Cancel) {
    WriteStandard(STD_OUTPUT_HANDLE, "No request was pending: no Halcyra tray program runs.\n");
    return cmd_exit::kDone;
  }
  if (!pipe && line.action == CmdAction::Do) pipe = StartTrayProgram(Wide(name));
  if (!pipe) return Fail(cmd_exit::kNoTrayProgram, kNoAnswer);
  // Anyone may create the name first: only the user's own program in this session hears what
  // is asked, and only its answer is believed.
  if (!ServerTrusted(*self, PipeServerIdentity(pipe.Get())) ||
      !ServerTrusted(*self, PipeObjectIdentity(pipe.Get(), self->session)))
    return Fail(cmd_exit::kNoTrayProgram,
                "The pipe \"" + name +
                    "\" is served by a program of another user, session or integrity level; "
                    "nothing was sent");
  const std::string command = line.action == CmdAction::Do       ? "do\n" + EncodeRequest(request)
                              : line.action == CmdAction::Cancel ? std::string("cancel")
                                                                 : std::string("status");
  const auto reply = Ask(pipe.Get(), command);
  if (!reply) return Fail(cmd_exit::kNoTrayProgram, kNoAnswer);
  const size_t end = reply->find('\n');
  const std::string verdict = reply->substr(0, end);
  const std::string text = end == std::string::npos ? "" : reply->substr(end + 1);
  if (verdict == kReplyGone) return Fail(cmd_exit::kNoProcess, text);
  if (verdict != kReplyOk) return Fail(cmd_exit::kRefused, text);
  WriteStandard(STD_OUTPUT_HANDLE, text + "\n");
  return cmd_exit::kDone;
}
