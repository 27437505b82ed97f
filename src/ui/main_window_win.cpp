#include "ui/main_window_win.h"

#include <commctrl.h>

#include "platform/win32/utf8_win.h"
#include "res/resource_ids.h"
#include "schedule/timer_editor_win.h"
#include "schedule/timer_page_win.h"
#include "toolkit/dpi_win.h"
#include "toolkit/sized_icon_win.h"
#include "ui/main_window_ids.h"
#include "ui/settings_pages_win.h"

namespace halcyra {
namespace {

namespace ids = main_ids;

constexpr const char* kApplicationClass = "TApplication";
constexpr int kClientWidth = 457;
constexpr int kClientHeight = 305;
constexpr DWORD kMainStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

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

MainWindow::MainWindow(const ProgramServices& services, HWND owner, Win32HotkeyRegistry& hotkeys,
                       bool firstRunOnVista)
    : program_(services, *this, hotkeys), form_(services, program_.Logic(), *this) {
  form_.FirstRunOnVista = firstRunOnVista;
  RegisterClassOnce(kMainWindowClass, ApplicationIcon());
  CreateCentered(kMainExStyle, kMainWindowClass, kAppTitle, kMainStyle, kClientWidth, kClientHeight,
                 owner);
  if (!Handle()) return;
  program_.Attach();
  Run([this] {
    program_.Logic().Start();
    form_.FormCreate();
  });
  program_.OpenOneOffChannel();
}

void MainWindow::CreateControlsOnce() {
  if (binder_) return;
  CreateBinder();
  SetTitleIcons();
  CreateControls();
  Sync();
  FitToTexts();
  SetTabPadding();
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
  program_.RefreshTrayIcon();
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
    program_.SyncTick();
    return;
  }
  const int page = static_cast<int>(form_.ActivePage());
  if (SendMessageW(pageControl_, TCM_GETCURSEL, 0, 0) != page)
    SendMessageW(pageControl_, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  binder_->ShowGroup(page);
  binder_->Sync();
  if (const Edit* focus = form_.TakeFocusRequest()) binder_->Focus(focus);
  program_.SyncTick();
}

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

// The window goes first: no message reaches the program or the logic while they go.
MainWindow::~MainWindow() { DestroyNow(); }

void MainWindow::CloseClicked() {
  bool allowed = false;
  Run([&] { allowed = form_.FormCloseQuery(); });
  if (!allowed) return;
  form_.FormClose();
  DestroyWindow(Handle());
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
  if (const std::optional<LRESULT> handled = program_.HandleMessage(msg, wParam, lParam))
    return *handled;
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
      if (!binder_) program_.RefreshTrayIcon();
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
