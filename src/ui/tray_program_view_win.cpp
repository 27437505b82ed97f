#include "ui/tray_program_view_win.h"

#include <windowsx.h>

#include <utility>

#include "core/text.h"
#include "one_off/once_window_win.h"
#include "one_off/one_off_commands.h"
#include "platform/win32/machine_control_win.h"
#include "platform/win32/utf8_win.h"
#include "platform/win32/win32_cleanup_tasks_win.h"
#include "ui/main_window_ids.h"
#include "ui/password_prompt_win.h"

namespace halcyra {
namespace {

namespace ids = main_ids;

constexpr UINT_PTR kTimer1 = 1;
// A moment of the tick less than this before the armed one is the same.
constexpr ULONGLONG kSameMomentMs = 50;
// The main loop hands HalcyraCmd's pipe its turn with this message.
constexpr UINT kServeOneOffMessage = WM_APP + 16;
// An action the logic left for the main loop.
constexpr UINT kPostedActionMessage = WM_APP + 17;
// A process a one-off request waits for ended (posted from a thread of the system's pool).
constexpr UINT kLookNowMessage = WM_APP + 18;
constexpr UINT kTrayCallbackMessage = ids::kTrayCallbackMessage;
constexpr UINT_PTR kTrayRetryTimer = 2;
// HalcyraCmd's pipe gets its turn in a modal loop with the schedule's tick, or with this timer
// while the tick is off.
constexpr UINT_PTR kOneOffTimer = 3;
constexpr UINT kOneOffTimerMs = 1000;
// A burst of writes to the settings file (a save writes key after key) is read once, this long
// after its first write.
constexpr UINT_PTR kSettingsReadTimer = 4;
constexpr UINT kSettingsReadDelayMs = 1000;

}  // namespace

TrayProgramView::TrayProgramView(const ProgramServices& services, ProgramWindow& window,
                                 Win32HotkeyRegistry& hotkeys)
    : app_(services.app),
      processes_(services.processes),
      shell_(services.shell),
      window_(window),
      hotkeys_(hotkeys),
      program_(services, *this) {}

TrayProgramView::~TrayProgramView() = default;

void TrayProgramView::Attach() {
  hotkeys_.SetWindow(Handle());
  showMainWindowMsg_ = RegisterWindowMessageW(Wide(kShowMainWindowMessageName).c_str());
  taskbarCreatedMsg_ = RegisterWindowMessageW(L"TaskbarCreated");
  // An elevated instance still hears a second start and the shell of a normal user.
  ChangeWindowMessageFilterEx(Handle(), showMainWindowMsg_, MSGFLT_ALLOW, nullptr);
  ChangeWindowMessageFilterEx(Handle(), taskbarCreatedMsg_, MSGFLT_ALLOW, nullptr);
  tray_.emplace(Handle(), kTrayCallbackMessage, kTrayRetryTimer);
  tray_->Load();
}

void TrayProgramView::OpenOneOffChannel() {
  oneOff_ = std::make_unique<OneOffServer>(
      [this](std::string_view request) { return OneOffCommand(request); });
  if (oneOff_->Problem().empty()) return;
  // Said once, where an administrator looks: HalcyraCmd itself only hears no answer.
  MakeSystemLog(GetDataFolder(app_.os))
      ->Write(ServiceEvent::ChannelRefused,
              "Halcyra does not take requests from HalcyraCmd in this session: " +
                  oneOff_->Problem() + ".");
}

HANDLE TrayProgramView::OneOffEvent() const {
  return oneOff_ && Handle() ? oneOff_->Event() : nullptr;
}

DWORD TrayProgramView::OneOffWaitMs() const {
  return oneOff_ && Handle() ? oneOff_->WaitMs() : INFINITE;
}

void TrayProgramView::ServeOneOff() {
  // As a message, so that an answer that fails is reported like any handler's error.
  if (Handle()) SendMessageW(Handle(), kServeOneOffMessage, 0, 0);
}

void TrayProgramView::LookedNow(bool looked) {
  if (looked) NoteScheduleTick(Handle());
}

HANDLE TrayProgramView::SettingsFolderEvent() const {
  return dataFolder_->Watching() && Handle() ? dataFolder_->Event() : nullptr;
}

void TrayProgramView::SettingsFolderChanged() {
  dataFolder_->Next();
  CheckSettingsStamp();
}

void TrayProgramView::CheckSettingsStamp() {
  // The log, the journal and other files share the folder: only the settings file counts.
  const std::optional<FileStamp> stamp = stamps_.Stamp(GetSettingsPath(app_.os));
  if (stamp == settingsStamp_) return;
  settingsStamp_ = stamp;
  SetTimer(Handle(), kSettingsReadTimer, kSettingsReadDelayMs, nullptr);
}

void TrayProgramView::PostLookNow() const { PostMessageW(Handle(), kLookNowMessage, 0, 0); }

void TrayProgramView::MainLoopRuns() {
  if (!std::exchange(modalServe_, false)) return;
  if (timer1Running_) KillTimer(Handle(), kOneOffTimer);
}

void TrayProgramView::SyncTick() {
  const bool tick = program_.Schedule.Running();
  if (!tick) {
    if (timer1Running_) {
      KillTimer(Handle(), kTimer1);
      SetTimer(Handle(), kOneOffTimer, kOneOffTimerMs, nullptr);
    }
    timer1Running_ = false;
    return;
  }
  const unsigned interval = program_.Schedule.TickIntervalMs();
  const ULONGLONG due = GetTickCount64() + interval;
  // Armed again only for an earlier moment: armed anew after every handler, the tick would be
  // put off for as long as the user types or moves the mouse in a dialog. A tick that comes
  // before it is needed looks and arms the next one.
  if (timer1Running_ && timer1Due_ != 0 && due + kSameMomentMs >= timer1Due_) return;
  SetTimer(Handle(), kTimer1, interval, nullptr);
  if (!timer1Running_ && !modalServe_) KillTimer(Handle(), kOneOffTimer);
  timer1Running_ = true;
  timer1Due_ = due;
}

void TrayProgramView::OpenCountdown(TFrmNotify& countdown) {
  countdown_ = std::make_unique<CountdownWindow>(countdown, Handle());
}

void TrayProgramView::SyncCountdown() {
  if (countdown_) countdown_->Sync();
}

void TrayProgramView::HideCountdown() {
  if (countdown_) countdown_->Hide();
}

void TrayProgramView::Post(std::function<void()> action) {
  posted_.push_back(std::move(action));
  PostMessageW(Handle(), kPostedActionMessage, 0, 0);
}

void TrayProgramView::RunPosted() {
  if (posted_.empty()) return;
  const std::function<void()> action = std::move(posted_.front());
  posted_.pop_front();
  Run(action);
}

bool TrayProgramView::ShowPasswordPrompt() {
  SetForegroundWindow(Handle());
  TFrmPwd prompt(app_);
  PasswordPromptWindow window(prompt, Handle());
  window.ShowModal();
  return prompt.PasswordAccepted();
}

void TrayProgramView::RefreshTrayIcon() {
  tray_->Load();
  if (program_.TrayIconShown()) tray_->Modify();
}

void TrayProgramView::SetTrayIcon(bool present) { tray_->Show(present); }

void TrayProgramView::SetTrayTip(const std::string& tip) {
  tray_->SetTip(tip);
  if (program_.TrayIconShown()) tray_->Modify();
}

void TrayProgramView::ShowTrayBalloon(const std::string& text) {
  tray_->ShowBalloon(kAppTitle, text);
  NoteTrayBalloon(GetDataFolder(app_.os), text);
}

void TrayProgramView::ShowOnceWindow() {
  if (onceWindow_) {
    SetForegroundWindow(onceWindow_->Handle());
    return;
  }
  TFrmOnce once(app_, processes_, *this);
  OnceWindow window(once, Handle());
  onceWindow_ = &window;
  SetForegroundWindow(window.Handle());
  window.ShowModal();
  onceWindow_ = nullptr;
}

// HalcyraCmd waits for the answer while it is made: no question to the user belongs in it.
std::string TrayProgramView::OneOffCommand(std::string_view message) {
  std::string reply;
  Run([&] { reply = program_.OneOffCommand(message); });
  return reply;
}

std::string TrayProgramView::PendingLine() const { return halcyra::PendingLine(program_.Schedule); }

void TrayProgramView::OpenHelpPage(const std::string& page) {
  shell_.OpenHelpPage(JoinPath(FolderOf(ExecutablePath()), "help.chm"), page);
}

void TrayProgramView::ShowTrayMenu(ScreenPoint anchor) {
  // A request that comes while the menu's own loop ends opens it again, as before; the menu is
  // made anew only when none of its loops runs.
  if (menuLoops_ == 0 && std::exchange(menuStale_, false))
    popupMenu_ = TrayMenu(app_.policies.Current());
  ++menuLoops_;
  popupMenu_.Open(Handle(), anchor);
  --menuLoops_;
}

void TrayProgramView::CloseWindow() { SendMessageW(Handle(), WM_CLOSE, 0, 0); }

void TrayProgramView::TerminateProcesses(const std::string& exeName) {
  TerminateProcessesByName(exeName);
}

std::string TrayProgramView::ExecutablePath() const { return ProgramFilePath(); }

void TrayProgramView::OnTimer(WPARAM id) {
  TrayProgram& p = program_;
  // An idle tick touches no control: a firing that starts or ends mirrors the window once (the
  // list loses a once-only timer's rows), so the tick costs the same with any number of timers.
  if (id == kTimer1) {
    // Its moment has come: the next one is armed, whatever it is.
    timer1Due_ = 0;
    const bool firing = p.Schedule.Firing();
    const unsigned long reloads = p.Schedule.Reloads();
    p.Schedule.Timer1Timer();
    NoteScheduleTick(Handle());
    // A dead watch of the data folder (the folder was moved aside, say) is made anew.
    if (!dataFolder_->Watching()) {
      dataFolder_.emplace(GetDataFolder(app_.os));
      CheckSettingsStamp();
    }
    if (firing != p.Schedule.Firing() || reloads != p.Schedule.Reloads())
      Run([] {});  // nothing more to do, but the window mirrors what changed
    else
      SyncTick();
  }
  // A message box, a menu or a modal window pumps in its own loop, which does not wait on
  // HalcyraCmd's pipe; its client is then served on the tick.
  if ((id == kTimer1 || id == kOneOffTimer) && oneOff_) oneOff_->Serve();
  if (id == kOneOffTimer) SyncTick();
  if (id == kTrayRetryTimer) tray_->RetryTimerFired();
  if (id == kSettingsReadTimer) {
    KillTimer(Handle(), kSettingsReadTimer);
    Run([&p] { p.Schedule.FileChanged(); });
  }
}

std::optional<LRESULT> TrayProgramView::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  TrayProgram& p = program_;
  if (showMainWindowMsg_ != 0 && msg == showMainWindowMsg_) {
    Run([&p] { p.ShowMainWindowGuarded(); });
    return 0;
  }
  if (taskbarCreatedMsg_ != 0 && msg == taskbarCreatedMsg_) {
    // A restarted shell has lost the icon; it comes back at the shell's DPI of now.
    tray_->Load();
    if (p.TrayIconShown()) tray_->Show(true);
    return 0;
  }
  switch (msg) {
    case WM_HOTKEY:
      Run([&p, wParam] { p.HandleHotkey(static_cast<int>(wParam)); });
      return 0;
    case kTrayCallbackMessage: {
      // The fourth version: the event and the icon's id in the second parameter, the anchor's
      // screen coordinates, signed for monitors left of or above the primary, in the first. The
      // first version: the mouse message alone, and the icon's id in the first parameter.
      ScreenPoint anchor{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)};
      if (tray_->Version() == TrayVersion::kFirst) {
        POINT pointer{};
        GetCursorPos(&pointer);
        anchor = {pointer.x, pointer.y};
      }
      const TrayVersion version = tray_->Version();
      Run([&p, lParam, anchor, version] { p.HandleTrayMessage(LOWORD(lParam), anchor, version); });
      return 0;
    }
    case kLookNowMessage:
      Run([this] { LookedNow(program_.Schedule.LookNow()); });
      return 0;
    case kServeOneOffMessage:
      if (oneOff_) oneOff_->Serve();
      return 0;
    case kPostedActionMessage:
      RunPosted();
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_COMMAND:
      if (HandleMenuCommand(wParam, lParam)) return 0;
      return std::nullopt;
    default:
      return HandleSystemMessage(msg, wParam, lParam);
  }
}

std::optional<LRESULT> TrayProgramView::HandleSystemMessage(UINT msg, WPARAM wParam,
                                                            LPARAM lParam) {
  switch (msg) {
    case WM_ENDSESSION:
      if (wParam) NoteSessionEnd(GetDataFolder(app_.os), lParam);
      Run([this, wParam] { program_.HandleEndSession(wParam != FALSE); });
      return 0;
    case WM_SETTINGCHANGE: {
      const std::wstring_view area =
          lParam ? reinterpret_cast<const wchar_t*>(lParam) : std::wstring_view();
      // The taskbar turned light or dark (or high contrast came or went): the icon follows.
      if (wParam == SPI_SETHIGHCONTRAST || area == L"ImmersiveColorSet") RefreshTrayIcon();
      // Group Policy or Intune applied the organisation's policies (wParam says whose).
      if (area == L"Policy")
        Run([this] {
          // The menu may be open in this very loop: it is made anew at its next opening.
          if (program_.PoliciesChanged()) menuStale_ = true;
        });
      Run([this] { LookedNow(program_.TimeSettingsChanged()); });
      return 0;
    }
    case WM_TIMECHANGE:
      // The armed tick was measured on the clock of before.
      timer1Due_ = 0;
      Run([this] { LookedNow(program_.TimeSettingsChanged()); });
      return 0;
    case WM_ENTERIDLE:
      // A message box, a menu or a modal window of ours waits for its user in a loop of its
      // own, which does not wait on HalcyraCmd's pipe: its client is served each second until
      // the main loop runs again.
      if (!modalServe_) {
        modalServe_ = true;
        SetTimer(Handle(), kOneOffTimer, kOneOffTimerMs, nullptr);
      }
      // Opened under an action, the schedule looks each second.
      SyncTick();
      return 0;
    case WM_POWERBROADCAST:
      // The window timer's wait went on counting, or not, while the computer slept.
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) {
        // The tick count went on while it slept: the armed moment says nothing of the wait
        // left, which is measured anew.
        timer1Due_ = 0;
        Run([this] { LookedNow(program_.Resumed()); });
      }
      return TRUE;
    case WM_DISPLAYCHANGE:
      RefreshTrayIcon();
      return std::nullopt;
    case WM_QUERYENDSESSION: {
      bool agreed = true;
      Run([&] { agreed = program_.HandleQueryEndSession((lParam & ENDSESSION_CLOSEAPP) != 0); });
      return agreed ? TRUE : FALSE;
    }
    default:
      return std::nullopt;
  }
}

bool TrayProgramView::HandleMenuCommand(WPARAM wParam, LPARAM lParam) {
  if (lParam != 0 || HIWORD(wParam) != 0) return false;
  TrayProgram& p = program_;
  switch (LOWORD(wParam)) {
    case ids::kMmuMainWindow:
      Run([&p] { p.MmuMainWindowClick(); });
      return true;
    case ids::kMnuOnce:
      Run([&p] { p.MnuOnceClick(); });
      return true;
    case ids::kMnuHide:
      Run([&p] { p.MnuHideClick(); });
      return true;
    case ids::kMnuHelp:
      Run([&p] { p.MnuHelpClick(); });
      return true;
    case ids::kMnuExit:
      Run([&p] { p.MnuExitClick(); });
      return true;
    default:
      return false;
  }
}

}  // namespace halcyra
