// HalcyraCmd.exe: a console program, so that scripts get its output and exit code. It asks the
// tray program of this user and session, through its named pipe, to do one thing once, to
// cancel that, or to say what is pending; without a running tray program it starts one for a
// request.
#include <windows.h>

#include <string>

#include "app/app_services.h"
#include "app/policies.h"
#include "cmd/command_line.h"
#include "cmd/tray_program_win.h"
#include "core/command_line_words.h"
#include "core/text.h"
#include "one_off/one_off_client_win.h"
#include "one_off/pending_one_off.h"
#include "platform/win32/console_win.h"
#include "platform/win32/process_hardening_win.h"
#include "platform/win32/process_identity_win.h"
#include "platform/win32/utf8_win.h"
#include "platform/win32/win32_policy_store_win.h"
#include "platform/win32/win32_process_waits_win.h"

namespace {

using namespace halcyra;

constexpr DWORD kStartWaitMs = 30000;  // a tray program's start, the first-run wizard aside
constexpr const char* kNoAnswer = "No Halcyra tray program of this user and session answered";

int Fail(int code, const std::string& message) {
  WriteStandard(STD_ERROR_HANDLE, CmdErrorLine(code, message) + "\n");
  return code;
}

bool ShowsWizard(DWORD processId) {
  // By its class and process, not its title, which is in the user's language.
  for (HWND wizard = FindWindowExW(nullptr, nullptr, L"TForm1", nullptr); wizard;
       wizard = FindWindowExW(nullptr, wizard, L"TForm1", nullptr)) {
    DWORD owner = 0;
    if (GetWindowThreadProcessId(wizard, &owner) && owner == processId) return true;
  }
  return false;
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
  // Refused here, so that no tray program is started for it either.
  if (line.action == CmdAction::Do &&
      ReadPolicies(Win32PolicyStore(), PolicyReach::MachineAndUser).policies.disableOneOffs)
    return Fail(cmd_exit::kRefused, kOneOffsTurnedOff);
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
  // Only the user's own program in this session hears what is asked, and only its answer is
  // believed.
  if (!ServedByOwnTrayProgram(pipe.Get(), *self))
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
