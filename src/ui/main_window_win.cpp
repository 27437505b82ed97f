#include "ui/main_window_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <windowsx.h>

#include <utility>

#include "app/paths.h"
#include "core/text.h"
#include "one_off/once_window_win.h"
#include "one_off/one_off_commands.h"
#include "platform/win32/machine_control_win.h"
#include "platform/win32/utf8_win.h"
#include "platform/win32/win32_cleanup_tasks_win.h"
#include "res/resource_ids.h"
#include "schedule/timer_editor_win.h"
#include "schedule/timer_page_win.h"
#include "toolkit/dpi_win.h"
#include "toolkit/sized_icon_win.h"
#include "ui/main_window_ids.h"
#include "ui/password_prompt_win.h"
#include "ui/settings_pages_win.h"

namespace halcyra {
namespace {

namespace ids = main_ids;

constexpr const char* kApplicationClass = "TApplication";
constexpr int kClientWidth = 457;
constexpr int kClientHeight = 305;
constexpr DWORD kMainStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
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

HICON ApplicationIcon() {
  return LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
}

}  // namespace

ApplicationWindow::ApplicationWindow() {
  RegisterClassOnce(kApplicationClass, ApplicationIcon());
  CreateWindowFor(0, kApplicationClass, kAppTitle, WS_POPUP, 0, 0, 0, 0, nullptr);
  // Replaces every other extended style: an owner window with this style gives its owned
  // windows no taskbar button.
  SetWindowLongW(Handle(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
}

MainWindow::MainWindow(const MainFormServices& services, HWND owner, Win32HotkeyRegistry& hotkeys,
                       bool firstRunOnVista)
    : app_(services.app),
      processes_(services.processes),
      shell_(services.shell),
      form_(services, *this) {
  form_.FirstRunOnVista = firstRunOnVista;
  RegisterClassOnce(kMainWindowClass, ApplicationIcon());
  CreateCentered(kMainExStyle, kMainWindowClass, kAppTitle, kMainStyle, kClientWidth, kClientHeight,
                 owner);
  if (!Handle()) return;
  hotkeys.SetWindow(Handle());
  showMainWindowMsg_ = RegisterWindowMessageW(Wide(kShowMainWindowMessageName).c_str());
  taskbarCreatedMsg_ = RegisterWindowMessageW(L"TaskbarCreated");
  // An elevated instance still hears a second start and the shell of a normal user.
  ChangeWindowMessageFilterEx(Handle(), showMainWindowMsg_, MSGFLT_ALLOW, nullptr);
  ChangeWindowMessageFilterEx(Handle(), taskbarCreatedMsg_, MSGFLT_ALLOW, nullptr);
  tray_.emplace(Handle(), kTrayCallbackMessage, kTrayRetryTimer);
  tray_->Load();
  Run([this] { form_.FormCreate(); });
  OpenOneOffChannel();
}

void MainWindow::OpenOneOffChannel() {
  oneOff_ = std::make_unique<OneOffServer>(
      [this](std::string_view request) { return AnswerOneOffRequest(request); });
  if (oneOff_->Problem().empty()) return;
  // Said once, where an administrator looks: HalcyraCmd itself only hears no answer.
  MakeSystemLog(GetDataFolder(app_.os))
      ->Write(ServiceEvent::ChannelRefused,
              "Halcyra does not take requests from HalcyraCmd in this session: " +
                  oneOff_->Problem() + ".");
}

void MainWindow::CreateControlsOnce() {
  if (binder_) return;
  CreateBinder();
  SetTitleIcons();
  CreateControls();
  Sync();
}

void MainWindow::CreateControls() {
  TFrmMain& f = form_;
  ControlBinder& b = *binder_;
  pageControl_ = b.AddPlain(WC_TABCONTROLW, WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS,
                            ids::kPageControl, {8, 8, 441, 254});
  for (int i = 0; i < kMainPageCount; ++i) {
    std::wstring caption = Wide(TFrmMain::PageCaption(static_cast<MainPage>(i)));
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(pageControl_, TCM_INSERTITEMW, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(&item));
  }
  SetTabPadding();
  auto page = [&b](MainPage p) { b.SetGroup(static_cast<int>(p)); };
  int label = ids::kFirstPlainLabel;

  AddSettingsPageControls(b, f,
                          {static_cast<int>(MainPage::General), static_cast<int>(MainPage::Hotkeys),
                           static_cast<int>(MainPage::Sound), static_cast<int>(MainPage::Cleanup),
                           static_cast<int>(MainPage::Password), static_cast<int>(MainPage::Log)},
                          0, label);

  page(MainPage::Timer);
  AddTimerPageControls(b, f,
                       {label++, ids::kLvwTimer, ids::kBtnAdd, ids::kBtnEdit, ids::kBtnDelete,
                        ids::kLblManagedTimers});

  AddAboutPage();

  // Below the pages, whatever page is shown.
  b.SetGroup(std::nullopt);
  b.AddButton(f.BtnOK, ids::kOk, {204, 272, 75, 25});
  b.AddButton(f.BtnCancel, ids::kCancel, {289, 272, 75, 25});
  b.AddButton(f.BtnHelp, ids::kHelp, {374, 272, 75, 25});
  b.OnClick(ids::kOk, [&f] { f.BtnOKClick(); });
  b.OnClick(ids::kCancel, [&f] { f.BtnCancelClick(); });
  b.OnClick(ids::kHelp, [&f] { f.BtnHelpClick(); });

  // The pages' controls lie on the page control: it goes below them all.
  SetWindowPos(pageControl_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SubclassSettingsFields(Handle());
}

void MainWindow::SetTabPadding() {
  // As much room beside each caption as lets all eight tabs stand in one row: a font is not
  // exactly as much wider as the DPI, so the padding is measured, not scaled. The tabs are
  // measured again when the font comes, with the padding of that moment.
  RECT client{};
  GetClientRect(pageControl_, &client);
  const int room = client.right - binder_->Scale(4);
  for (int padding = binder_->Scale(8);; --padding) {
    SendMessageW(pageControl_, TCM_SETPADDING, 0, MAKELPARAM(padding, binder_->Scale(3)));
    SendMessageW(pageControl_, WM_SETFONT, reinterpret_cast<WPARAM>(binder_->Font()), FALSE);
    RECT last{};
    SendMessageW(pageControl_, TCM_GETITEMRECT, kMainPageCount - 1,
                 reinterpret_cast<LPARAM>(&last));
    if (last.right <= room || padding <= binder_->Scale(3)) return;
  }
}

void MainWindow::SetTitleIcons() {
  // Drawn from the icon's own sizes for this DPI rather than stretched from the system's.
  const auto load = [this](int width, int height) {
    return LoadSizedIcon(IDI_APPLICATION_ICON, SystemMetric(width, binder_->Dpi()),
                         SystemMetric(height, binder_->Dpi()));
  };
  UniqueIcon small = load(SM_CXSMICON, SM_CYSMICON);
  UniqueIcon big = load(SM_CXICON, SM_CYICON);
  if (small) SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
  if (big) SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
  // The window keeps using the icons it was given until the next ones come.
  smallIcon_ = std::move(small);
  bigIcon_ = std::move(big);
}

void MainWindow::DpiChanged() {
  SetTabPadding();
  InvalidateRect(pageControl_, nullptr, TRUE);
  SetTitleIcons();
  RefreshTrayIcon();
  pageBackground_.Forget();
  InvalidateRect(Handle(), nullptr, TRUE);
}

bool MainWindow::TranslateKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0;
  if (alt) return false;
  int step = 0;
  if (ctrl && msg.wParam == VK_TAB) step = shift ? -1 : 1;
  if (ctrl && !shift && msg.wParam == VK_NEXT) step = 1;
  if (ctrl && !shift && msg.wParam == VK_PRIOR) step = -1;
  if (step != 0) {
    Run([this, step] { form_.StepPage(step); });
    return true;
  }
  // A hotkey field captures F1 as it does the other function keys; no hotkey text can hold the
  // page keys above, so they still change the page from there.
  if (!ctrl && !shift && msg.wParam == VK_F1 && !IsHotkeyField(msg.hwnd)) {
    Run([this] { form_.BtnHelpClick(); });
    return true;
  }
  return false;
}

void MainWindow::AddAboutPage() {
  TFrmMain& f = form_;
  ControlBinder& b = *binder_;
  b.SetGroup(static_cast<int>(MainPage::About));
  b.AddLabel(f.Label17, ids::kLabel17, {20, 50, 415, 20});
  b.AddLabel(f.LblWebSite, ids::kLblWebSite, {20, 80, 415, 20});
  b.AddLabel(f.LblEmail, ids::kLblEmail, {20, 104, 415, 20});
  b.OnClick(ids::kLblWebSite, [&f] { f.LblWebSiteClick(); });
  b.OnClick(ids::kLblEmail, [&f] { f.LblEmailClick(); });
}

void MainWindow::Sync() {
  if (!binder_) {
    SyncTick();
    return;
  }
  const int page = static_cast<int>(form_.ActivePage());
  if (SendMessageW(pageControl_, TCM_GETCURSEL, 0, 0) != page)
    SendMessageW(pageControl_, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  binder_->ShowGroup(page);
  binder_->Sync();
  if (const Edit* focus = form_.TakeFocusRequest()) binder_->Focus(focus);
  SyncTick();
}

void MainWindow::LookedNow(bool looked) {
  if (looked) NoteScheduleTick(Handle());
}

HANDLE MainWindow::SettingsFolderEvent() const {
  return dataFolder_->Watching() && Handle() ? dataFolder_->Event() : nullptr;
}

void MainWindow::SettingsFolderChanged() {
  dataFolder_->Next();
  CheckSettingsStamp();
}

void MainWindow::CheckSettingsStamp() {
  // The log, the journal and other files share the folder: only the settings file counts.
  const std::optional<FileStamp> stamp = stamps_.Stamp(GetSettingsPath(app_.os));
  if (stamp == settingsStamp_) return;
  settingsStamp_ = stamp;
  SetTimer(Handle(), kSettingsReadTimer, kSettingsReadDelayMs, nullptr);
}

void MainWindow::PostLookNow() const { PostMessageW(Handle(), kLookNowMessage, 0, 0); }

void MainWindow::MainLoopRuns() {
  if (!std::exchange(modalServe_, false)) return;
  if (timer1Running_) KillTimer(Handle(), kOneOffTimer);
}

void MainWindow::SyncTick() {
  const bool tick = form_.Schedule.Running();
  if (!tick) {
    if (timer1Running_) {
      KillTimer(Handle(), kTimer1);
      SetTimer(Handle(), kOneOffTimer, kOneOffTimerMs, nullptr);
    }
    timer1Running_ = false;
    return;
  }
  const unsigned interval = form_.Schedule.TickIntervalMs();
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

void MainWindow::OpenCountdown(TFrmNotify& countdown) {
  countdown_ = std::make_unique<CountdownWindow>(countdown, Handle());
}

void MainWindow::SyncCountdown() {
  if (countdown_) countdown_->Sync();
}

void MainWindow::HideCountdown() {
  if (countdown_) countdown_->Hide();
}

void MainWindow::Post(std::function<void()> action) {
  posted_.push_back(std::move(action));
  PostMessageW(Handle(), kPostedActionMessage, 0, 0);
}

void MainWindow::RunPosted() {
  if (posted_.empty()) return;
  const std::function<void()> action = std::move(posted_.front());
  posted_.pop_front();
  Run(action);
}

void MainWindow::HideWindow() { ShowWindow(Handle(), SW_HIDE); }

void MainWindow::ShowTimerEditor(TFrmTimer& editor) {
  TimerEditorWindow window(editor, Handle());
  window.ShowModal();
  Sync();
}

void MainWindow::ShowInFront() {
  // A window hidden on one monitor comes up on the one the user works on now.
  if (!IsWindowVisible(Handle())) MoveToMonitor(PointerMonitor());
  CreateControlsOnce();
  ShowWindow(Handle(), SW_SHOWNORMAL);
  SetForegroundWindow(Handle());
  ShowWindow(Handle(), SW_SHOW);
}

MainWindow::~MainWindow() = default;

bool MainWindow::ShowPasswordPrompt() {
  SetForegroundWindow(Handle());
  TFrmPwd prompt(app_);
  PasswordPromptWindow window(prompt, Handle());
  window.ShowModal();
  return prompt.PasswordAccepted();
}

void MainWindow::RefreshTrayIcon() {
  tray_->Load();
  if (form_.ChkSystemTray.Checked()) tray_->Modify();
}

void MainWindow::SetTrayIcon(bool present) { tray_->Show(present); }

void MainWindow::SetTrayTip(const std::string& tip) {
  tray_->SetTip(tip);
  if (form_.ChkSystemTray.Checked()) tray_->Modify();
}

void MainWindow::ShowTrayBalloon(const std::string& text) {
  tray_->ShowBalloon(kAppTitle, text);
  NoteTrayBalloon(GetDataFolder(app_.os), text);
}

void MainWindow::ShowOnceWindow() {
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

std::string MainWindow::OneOffCommand(std::string_view message) {
  std::string reply;
  Run([&] { reply = form_.OneOffCommand(message); });
  return reply;
}

std::string MainWindow::PendingLine() const { return halcyra::PendingLine(form_.Schedule); }

void MainWindow::OpenHelpPage(const std::string& page) {
  shell_.OpenHelpPage(JoinPath(FolderOf(ExecutablePath()), "help.chm"), page);
}

// HalcyraCmd waits for the answer while it is made: no question to the user belongs in it.
std::string MainWindow::AnswerOneOffRequest(std::string_view request) {
  std::string reply;
  Run([&] { reply = form_.OneOffCommand(request); });
  return reply;
}

void MainWindow::ServeOneOff() {
  // As a message, so that an answer that fails is reported like any handler's error.
  if (Handle()) SendMessageW(Handle(), kServeOneOffMessage, 0, 0);
}

void MainWindow::ShowTrayMenu(ScreenPoint anchor) {
  // A request that comes while the menu's own loop ends opens it again, as before; the menu is
  // made anew only when none of its loops runs.
  if (menuLoops_ == 0 && std::exchange(menuStale_, false))
    popupMenu_ = TrayMenu(app_.policies.Current());
  ++menuLoops_;
  popupMenu_.Open(Handle(), anchor);
  --menuLoops_;
}

void MainWindow::CloseWindow() { SendMessageW(Handle(), WM_CLOSE, 0, 0); }

void MainWindow::TerminateProcesses(const std::string& exeName) {
  TerminateProcessesByName(exeName);
}

std::string MainWindow::ExecutablePath() const { return ProgramFilePath(); }

void MainWindow::CloseClicked() {
  bool allowed = false;
  Run([&] { allowed = form_.FormCloseQuery(); });
  if (!allowed) return;
  form_.FormClose();
  DestroyWindow(Handle());
}

bool MainWindow::HandleProgramMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  TFrmMain& f = form_;
  if (showMainWindowMsg_ != 0 && msg == showMainWindowMsg_) {
    Run([&f] { f.ShowMainWindowGuarded(); });
    return true;
  }
  if (taskbarCreatedMsg_ != 0 && msg == taskbarCreatedMsg_) {
    // A restarted shell has lost the icon; it comes back at the shell's DPI of now.
    tray_->Load();
    if (f.ChkSystemTray.Checked()) tray_->Show(true);
    return true;
  }
  switch (msg) {
    case WM_HOTKEY:
      Run([&f, wParam] { f.HandleHotkey(static_cast<int>(wParam)); });
      return true;
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
      Run([&f, lParam, anchor, version] { f.HandleTrayMessage(LOWORD(lParam), anchor, version); });
      return true;
    }
    case kLookNowMessage:
      Run([this] { LookedNow(form_.Schedule.LookNow()); });
      return true;
    case kServeOneOffMessage:
      if (oneOff_) oneOff_->Serve();
      return true;
    case kPostedActionMessage:
      RunPosted();
      return true;
    case WM_TIMER:
      // An idle tick touches no control: a firing that starts or ends mirrors the window once
      // (the list loses a once-only timer's rows), so the tick costs the same with any number
      // of timers.
      if (wParam == kTimer1) {
        // Its moment has come: the next one is armed, whatever it is.
        timer1Due_ = 0;
        const bool firing = f.Schedule.Firing();
        const unsigned long reloads = f.Schedule.Reloads();
        f.Schedule.Timer1Timer();
        NoteScheduleTick(Handle());
        // A dead watch of the data folder (the folder was moved aside, say) is made anew.
        if (!dataFolder_->Watching()) {
          dataFolder_.emplace(GetDataFolder(app_.os));
          CheckSettingsStamp();
        }
        if (firing != f.Schedule.Firing() || reloads != f.Schedule.Reloads())
          Sync();
        else
          SyncTick();
      }
      // A message box, a menu or a modal window pumps in its own loop, which does not wait on
      // HalcyraCmd's pipe; its client is then served on the tick.
      if ((wParam == kTimer1 || wParam == kOneOffTimer) && oneOff_) oneOff_->Serve();
      if (wParam == kOneOffTimer) SyncTick();
      if (wParam == kTrayRetryTimer) tray_->RetryTimerFired();
      if (wParam == kSettingsReadTimer) {
        KillTimer(Handle(), kSettingsReadTimer);
        Run([&f] { f.Schedule.FileChanged(); });
      }
      return true;
    default:
      return false;
  }
}

bool MainWindow::HandleMenuCommand(WPARAM wParam, LPARAM lParam) {
  if (lParam != 0 || HIWORD(wParam) != 0) return false;
  TFrmMain& f = form_;
  switch (LOWORD(wParam)) {
    case ids::kMmuMainWindow:
      Run([&f] { f.MmuMainWindowClick(); });
      return true;
    case ids::kMnuOnce:
      Run([&f] { f.MnuOnceClick(); });
      return true;
    case ids::kMnuHide:
      Run([&f] { f.MnuHideClick(); });
      return true;
    case ids::kMnuHelp:
      Run([&f] { f.MnuHelpClick(); });
      return true;
    case ids::kMnuExit:
      Run([&f] { f.MnuExitClick(); });
      return true;
    default:
      return false;
  }
}

LRESULT MainWindow::HandlePageControl(const NMHDR& header) {
  if (header.code == TCN_SELCHANGING) {
    bool allowed = true;
    Run([&] { allowed = form_.PageControlChanging(); });
    return allowed ? FALSE : TRUE;
  }
  if (header.code == TCN_SELCHANGE) {
    const auto page = static_cast<MainPage>(SendMessageW(pageControl_, TCM_GETCURSEL, 0, 0));
    Run([&] { form_.PageChanged(page); });
  }
  return 0;
}

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (HandleSettingsFieldMessage(form_, msg, wParam, lParam)) {
    Sync();
    return 0;
  }
  if (HandleProgramMessage(msg, wParam, lParam)) return 0;
  switch (msg) {
    case WM_SETCURSOR: {
      const HWND over = reinterpret_cast<HWND>(wParam);
      if (over == GetDlgItem(Handle(), ids::kLblWebSite) ||
          over == GetDlgItem(Handle(), ids::kLblEmail)) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    }
    case WM_ENDSESSION:
      if (wParam) NoteSessionEnd(GetDataFolder(app_.os), lParam);
      Run([this, wParam] { form_.HandleEndSession(wParam != FALSE); });
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
          if (form_.PoliciesChanged()) menuStale_ = true;
        });
      Run([this] { LookedNow(form_.TimeSettingsChanged()); });
      return 0;
    }
    case WM_TIMECHANGE:
      // The armed tick was measured on the clock of before.
      timer1Due_ = 0;
      Run([this] { LookedNow(form_.TimeSettingsChanged()); });
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
        Run([this] { LookedNow(form_.Resumed()); });
      }
      return TRUE;
    case WM_DISPLAYCHANGE:
      RefreshTrayIcon();
      return Window::OnMessage(msg, wParam, lParam);
    case WM_QUERYENDSESSION: {
      bool agreed = true;
      Run([&] { agreed = form_.HandleQueryEndSession((lParam & ENDSESSION_CLOSEAPP) != 0); });
      return agreed ? TRUE : FALSE;
    }
    case WM_COMMAND:
      if (HandleMenuCommand(wParam, lParam)) return 0;
      break;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == ids::kPageControl) return HandlePageControl(*header);
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (HBRUSH brush = pageBackground_.For(pageControl_, reinterpret_cast<HWND>(lParam),
                                             reinterpret_cast<HDC>(wParam), HighContrastOn()))
        return reinterpret_cast<LRESULT>(brush);
      break;
    case WM_WINDOWPOSCHANGING:
      // However the window is shown (the first start, a show request, another program's
      // ShowWindow or SetWindowPos), it shows its pages, and the first show asks the mixer.
      if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) {
        CreateControlsOnce();
        Run([this] { form_.FormShow(); });
      }
      break;
    case WM_DPICHANGED:
      // Before the first show only the icon has a size to follow; the controls come at the
      // DPI of their day.
      if (!binder_) RefreshTrayIcon();
      break;
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
      pageBackground_.Forget();
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return BoundWindow::OnMessage(msg, wParam, lParam);
}

}  // namespace halcyra
