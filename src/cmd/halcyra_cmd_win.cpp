// HalcyraCmd.exe: a console program, so that scripts get its output and exit code. It asks the
// tray program of this session, through WM_COPYDATA, to do one thing once, to cancel that, or
// to say what is pending; without a running tray program it starts one for a request.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/app_services.h"
#include "cmd/command_line.h"
#include "cmd/tray_program_win.h"
#include "core/text.h"
#include "platform/win32/process_hardening_win.h"
#include "platform/win32/process_identity_win.h"
#include "platform/win32/wide_path_win.h"
#include "platform/win32/win32_process_waits_win.h"
#include "service/service_command_line.h"
#include "ui/one_off_commands.h"

namespace {

using namespace halcyra;

constexpr DWORD kStartWaitMs = 30000;  // a tray program's start, the first-run wizard aside
constexpr DWORD kAnswerWaitMs = 10000;
constexpr const char* kNoAnswer = "No Halcyra tray program of this user and session answered";

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "%s\n", CmdErrorLine(code, message).c_str());
  return code;
}

HWND FindTrayProgram() {
  const HWND window = FindWindowA("TFrmMain", kAppTitle);
  return window && SameUserAndSession(window) ? window : nullptr;
}

bool ShowsWizard(DWORD processId) {
  const HWND wizard = FindWindowA("TForm1", "Wizard of Halcyra");
  DWORD owner = 0;
  return wizard && GetWindowThreadProcessId(wizard, &owner) && owner == processId;
}

// An ordinary start of the tray program beside this one, without arguments; then its window.
HWND StartTrayProgram() {
  std::wstring line =
      WidePath("\"" + JoinPath(FolderOf(ProgramFilePath()), TrayProgramFile()) + "\"");
  // No standard handles of ours: a script that reads this program's output to its end must
  // not wait for the tray program, which runs on.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                      nullptr, &startup, &process))
    return nullptr;
  const UniqueHandle thread(process.hThread), running(process.hProcess);
  bool told = false;
  for (DWORD waited = 0; waited < kStartWaitMs; waited += 100) {
    if (const HWND window = FindTrayProgram()) return window;
    // A first start shows the wizard before the main window: however long the user takes
    // over it, the request follows once it is closed.
    if (ShowsWizard(process.dwProcessId)) {
      if (!told) {
        std::puts(
            "INFO: Halcyra shows its first-run wizard; the request follows once it is "
            "closed.");
        std::fflush(stdout);
        told = true;
      }
      waited = 0;
    }
    if (WaitForSingleObject(running.Get(), 100) != WAIT_TIMEOUT) return nullptr;
  }
  return nullptr;
}

// The reply arrives at a message-only window while the command is being sent.
struct Conversation {
  HWND tray = nullptr;
  std::string reply;
  bool answered = false;
};

LRESULT CALLBACK ReplyWindow(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COPYDATA) {
    auto* conversation = reinterpret_cast<Conversation*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (conversation && reinterpret_cast<HWND>(wParam) == conversation->tray &&
        data->dwData == kOneOffReplyTag) {
      conversation->reply.assign(static_cast<const char*>(data->lpData), data->cbData);
      conversation->answered = true;
      return TRUE;
    }
    return FALSE;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

std::optional<std::string> Ask(HWND tray, const std::string& command) {
  WNDCLASSA type{};
  type.lpfnWndProc = &ReplyWindow;
  type.hInstance = GetModuleHandleA(nullptr);
  type.lpszClassName = "HalcyraCmdReply";
  RegisterClassA(&type);
  const HWND window = CreateWindowExA(0, type.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                      nullptr, type.hInstance, nullptr);
  if (!window) return std::nullopt;
  Conversation conversation{tray, "", false};
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&conversation));
  std::string text = command;
  COPYDATASTRUCT data{kOneOffCommandTag, static_cast<DWORD>(text.size()), text.data()};
  // The reply is sent to this thread while it waits here, and handled on the way.
  SendMessageTimeoutA(tray, WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                      reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kAnswerWaitMs, nullptr);
  DestroyWindow(window);
  if (!conversation.answered) return std::nullopt;
  return conversation.reply;
}

}  // namespace

int main() {
  HardenProcess();
  const auto parsed = ParseCmdLine(SplitCommandLine(GetCommandLineA()));
  if (const auto* error = std::get_if<CmdError>(&parsed))
    return Fail(error->exitCode, error->message);
  const CmdLine& line = std::get<CmdLine>(parsed);
  if (line.action == CmdAction::Help) {
    std::fputs(kCmdUsage, stdout);
    return line.helpExitCode;
  }
  const OneOffRequest& request = line.request;
  if (line.action == CmdAction::Do && request.condition == OneOffCondition::AfterExit &&
      Win32ProcessWaits().Watch(request.imageName, request.processId)->Count() == 0)
    return Fail(cmd_exit::kNoProcess, "No process " +
                                          (request.processId ? std::to_string(request.processId)
                                                             : "\"" + request.imageName + "\"") +
                                          " runs in this session");
  HWND tray = FindTrayProgram();
  if (!tray && line.action == CmdAction::Cancel) {
    std::puts("No request was pending: no Halcyra tray program runs.");
    return cmd_exit::kDone;
  }
  if (!tray && line.action == CmdAction::Do) tray = StartTrayProgram();
  if (!tray) return Fail(cmd_exit::kNoTrayProgram, kNoAnswer);
  const std::string command = line.action == CmdAction::Do       ? "do\n" + EncodeRequest(request)
                              : line.action == CmdAction::Cancel ? std::string("cancel")
                                                                 : std::string("status");
  const auto reply = Ask(tray, command);
  if (!reply) return Fail(cmd_exit::kNoTrayProgram, kNoAnswer);
  const size_t end = reply->find('\n');
  const std::string verdict = reply->substr(0, end);
  const std::string text = end == std::string::npos ? "" : reply->substr(end + 1);
  if (verdict != kReplyOk) return Fail(cmd_exit::kRefused, text);
  std::puts(text.c_str());
  return cmd_exit::kDone;
}
