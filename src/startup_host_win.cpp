#include "startup_host_win.h"

#include <stdexcept>

#include "core/text.h"
#include "platform/win32/machine_control_win.h"
#include "platform/win32/utf8_win.h"
#include "platform/win32/win32_process_waits_win.h"
#include "ui/main_window_win.h"
#include "wizard/wizard_window_win.h"

namespace halcyra {

bool Win32StartupHost::InstanceAlreadyRunning() {
  // Held until the process ends and never closed: the system releases it with the process,
  // and a second start must see it for as long as this instance lives.
  const HANDLE mutex = CreateMutexW(nullptr, TRUE, Wide(kInstanceMutexName).c_str());
  const DWORD error = GetLastError();
  if (!mutex) {
    return AnotherInstanceRuns(error == ERROR_ACCESS_DENIED ? InstanceMutex::AccessDenied
                                                            : InstanceMutex::Failed);
  }
  return AnotherInstanceRuns(error == ERROR_ALREADY_EXISTS ? InstanceMutex::AlreadyExists
                                                           : InstanceMutex::Created);
}

void Win32StartupHost::AskRunningInstanceToShow() {
  const UINT message = RegisterWindowMessageW(Wide(kShowMainWindowMessageName).c_str());
  HWND running = FindWindowW(Wide(kMainWindowClass).c_str(), Wide(kAppTitle).c_str());
  if (!running) return;
  // This process was started by the user and may take the foreground; the running instance,
  // in the background, may not until it is handed that right.
  DWORD runningProcess = 0;
  GetWindowThreadProcessId(running, &runningProcess);
  AllowSetForegroundWindow(runningProcess);
  // The answer comes when the window is shown (or the password prompt answered), however long
  // that takes while the instance reads its messages. An instance that reads none for a while
  // (a long clean-up, the service wait after OK) still gets the request, which an abort on a
  // "hung" instance would drop; only the wait for its answer is bounded.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(running, message, 0, 0, SMTO_NOTIMEOUTIFNOTHUNG, kShowRequestTimeoutMs,
                      &ignored);
}

bool Win32StartupHost::FileExists(const std::string& path) const {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Win32StartupHost::ExecutablePath() const { return ProgramFilePath(); }

void Win32StartupHost::RunWizard() {
  WizardWindow wizard({services_, mixer_, player_, dialogs_, files_, shell_});
  dialogs_.SetOwner(wizard.Handle());
  shell_.SetOwner(wizard.Handle());
  wizard.ShowModal();
}

int Win32StartupHost::RunMainWindow(const MainWindowStart& start) {
  // A change announced while the first-run wizard was open reached only the wizard.
  services_.policies.Refresh();
  ApplicationWindow application;
  Win32CleanupTasks cleanup(services_.boxes);
  cleanup.SetOwner(application.Handle());
  Win32ServiceControl service(FolderOf(ExecutablePath()));
  Win32ProcessWaits processes;
  Win32InputIdle idle;
  const std::unique_ptr<SystemLoad> load = MakeSystemLoad();
  MainWindow main(
      {services_, *clock_, mixer_, clockGuard_, wakeTimers_, services_.machine, player_, dialogs_,
       files_, shell_, hotkeys_, cleanup, privilege_, service, sleep_, processes, idle, *load},
      application.Handle(), hotkeys_, start.firstRunOnVista);
  if (!main.Handle()) throw std::runtime_error("The main window could not be created.");
  dialogs_.SetOwner(main.Handle());
  shell_.SetOwner(main.Handle());
  boxes_.TellWhileOpen(main.Handle());
  TrayProgramView& program = main.Program();
  processes.WhenAProcessEnds([&program] { program.PostLookNow(); });
  if (start.show) main.ShowInFront();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
      // Tab, Enter and Escape move between and press the controls of the countdown and of the
      // main window.
      if (const HWND countdown = program.CountdownHandle();
          countdown && IsDialogMessageW(countdown, &msg))
        continue;
      if (main.Handle() && HandleDialogMessage(main.Handle(), msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    program.MainLoopRuns();
    HANDLE waits[2] = {};
    DWORD count = 0;
    const HANDLE channel = program.OneOffEvent();
    if (channel) waits[count++] = channel;
    const HANDLE folder = program.SettingsFolderEvent();
    if (folder) waits[count++] = folder;
    const DWORD woke = MsgWaitForMultipleObjectsEx(count, waits, program.OneOffWaitMs(),
                                                   QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_TIMEOUT || (channel && woke == WAIT_OBJECT_0))
      program.ServeOneOff();
    else if (folder && woke == WAIT_OBJECT_0 + count - 1)
      program.SettingsFolderChanged();
  }
}

}  // namespace halcyra
