#include "ui/main_window_win.h"

#include <commctrl.h>

#include <climits>
#include <tuple>

#include "res/resource_ids.h"
#include "ui/main_window_ids.h"

namespace halcyra {
namespace {

namespace ids = main_ids;

constexpr const char* kApplicationClass = "TApplication";
constexpr int kClientWidth = 457;
constexpr int kClientHeight = 305;
constexpr DWORD kMainStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr UINT_PTR kFieldSubclass = 1;

HICON ApplicationIcon() {
  return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APPLICATION_ICON));
}

int S(int pixels) { return ScaleForDpi(pixels); }

std::string TextOf(HWND hwnd) {
  const int length = GetWindowTextLengthA(hwnd);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  GetWindowTextA(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void SetTextIfChanged(HWND hwnd, const std::string& text) {
  if (TextOf(hwnd) != text) SetWindowTextA(hwnd, text.c_str());
}

// Mouse moves over the hotkey and password fields reach the main window as WM_MOUSEMOVE
// with the field's id in the word parameter.
LRESULT CALLBACK FieldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
  if (msg == WM_MOUSEMOVE)
    SendMessageA(GetParent(hwnd), WM_APP, static_cast<WPARAM>(GetDlgCtrlID(hwnd)), 0);
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace

ApplicationWindow::ApplicationWindow() {
  RegisterClassOnce(kApplicationClass, ApplicationIcon());
  CreateWindowFor(0, kApplicationClass, kAppTitle, WS_POPUP, 0, 0, 0, 0, nullptr);
  // Replaces every other extended style: an owner window with this style gives its owned
  // windows no taskbar button.
  SetWindowLongA(Handle(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
}

MainWindow::MainWindow(const MainFormServices& services, HWND owner)
    : form_(services, *this), nextLabelId_(ids::kFirstPlainLabel) {
  RegisterClassOnce(kMainWindowClass, ApplicationIcon());
  RECT frame{0, 0, S(kClientWidth), S(kClientHeight)};
  AdjustWindowRectEx(&frame, kMainStyle, FALSE, kMainExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  CreateWindowFor(kMainExStyle, kMainWindowClass, kAppTitle, kMainStyle, x, y, width, height,
                  owner);
  if (!Handle()) return;
  showMainWindowMsg_ = RegisterWindowMessageA(kShowMainWindowMessageName);
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  CreateControls();
  Run([this] { form_.FormCreate(); });
}

HWND MainWindow::Add(std::optional<MainPage> page, Kind kind, Control* state, const char* className,
                     DWORD style, int id, int x, int y, int width, int height, DWORD exStyle) {
  HWND hwnd = CreateWindowExA(exStyle, className, "", WS_CHILD | style, S(x), S(y), S(width),
                              S(height), Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleA(nullptr), nullptr);
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  bindings_.push_back({hwnd, id, page, kind, state});
  return hwnd;
}

void MainWindow::AddLabel(MainPage page, Label& label, int x, int y, int width, int height,
                          int id) {
  HWND hwnd = Add(page, Kind::kLabel, &label, WC_STATICA, SS_LEFT | SS_NOTIFY,
                  id ? id : nextLabelId_++, x, y, width, height);
  SetWindowTextA(hwnd, label.caption.c_str());
}

void MainWindow::AddButton(std::optional<MainPage> page, Button& button, int id, int x, int y, int width,
                           int height) {
  HWND hwnd = Add(page, Kind::kButton, &button, WC_BUTTONA,
                  WS_TABSTOP | (id == ids::kOk ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), id, x, y,
                  width, height);
  SetWindowTextA(hwnd, button.caption.c_str());
}

void MainWindow::AddCheckBox(MainPage page, CheckBox& box, int id, int x, int y, int width) {
  // A plain check box: the logic decides its state, the view only shows it.
  HWND hwnd = Add(page, Kind::kCheckBox, &box, WC_BUTTONA, WS_TABSTOP | BS_CHECKBOX, id, x, y,
                  width, 20);
  SetWindowTextA(hwnd, box.caption.c_str());
}

void MainWindow::AddEdit(MainPage page, Edit& edit, int id, int x, int y, int width,
                         DWORD style) {
  HWND hwnd = Add(page, Kind::kEdit, &edit, WC_EDITA, WS_TABSTOP | ES_AUTOHSCROLL | style, id, x,
                  y, width, 21, WS_EX_CLIENTEDGE);
  if (style & ES_PASSWORD) SendMessageA(hwnd, EM_SETPASSWORDCHAR, '*', 0);
}

void MainWindow::CreateControls() {
  TFrmMain& f = form_;
  pageControl_ = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                                 WS_CLIPSIBLINGS, S(8), S(8), S(441), S(254), Handle(),
                                 reinterpret_cast<HMENU>(ids::kPageControl),
                                 GetModuleHandleA(nullptr), nullptr);
  SendMessageA(pageControl_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  // Narrow tabs, so that all eight captions fit in one row.
  SendMessageA(pageControl_, TCM_SETPADDING, 0, MAKELPARAM(S(4), S(3)));
  for (int i = 0; i < kMainPageCount; ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(TFrmMain::PageCaption(static_cast<MainPage>(i)));
    SendMessageA(pageControl_, TCM_INSERTITEMA, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(&item));
  }

  using P = MainPage;
  AddLabel(P::General, f.Label21, 20, 42, 415, 30);
  AddLabel(P::General, f.Label22, 20, 86, 170, 16);
  AddEdit(P::General, f.SpinDuration, ids::kSpinDuration, 195, 83, 70, 0);
  HWND upDown = Add(P::General, Kind::kPlain, nullptr, UPDOWN_CLASSA,
                    UDS_SETBUDDYINT | UDS_NOTHOUSANDS | UDS_ALIGNRIGHT | UDS_ARROWKEYS,
                    ids::kSpinDurationUpDown, 0, 0, 0, 0);
  SendMessageA(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(Handle(), ids::kSpinDuration)), 0);
  SendMessageA(upDown, UDM_SETRANGE32, static_cast<WPARAM>(INT_MIN), INT_MAX);
  AddCheckBox(P::General, f.ChkSystemTray, ids::kChkSystemTray, 20, 118, 400);
  AddCheckBox(P::General, f.ChkNoChangeTime, ids::kChkNoChangeTime, 20, 142, 400);
  AddCheckBox(P::General, f.ChkAbort, ids::kChkAbort, 20, 166, 400);

  AddLabel(P::Hotkeys, f.Label1, 20, 40, 415, 44);
  const auto fields = f.HotkeyFields();
  for (int i = 0; i < 6; ++i) {
    AddLabel(P::Hotkeys, f.HotkeyLabels[static_cast<std::size_t>(i)], 20, 94 + i * 26, 150, 16);
    AddEdit(P::Hotkeys, *fields[static_cast<std::size_t>(i)], ids::kEdtPowerdown + i, 180,
            91 + i * 26, 200, ES_READONLY);
  }

  AddLabel(P::Timer, f.Label8, 20, 40, 415, 30);
  HWND timers = Add(P::Timer, Kind::kPlain, nullptr, WC_LISTVIEWA,
                    WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, ids::kLvwTimer,
                    20, 74, 415, 146, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(timers, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  const struct {
    const char* caption;
    int width;
  } columns[] = {{"Title", 75}, {"Status", 75}, {"Shutdown Event", 100}, {"Activation Time", 90},
                 {"Frequency", 75}};
  for (int i = 0; i < 5; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(columns[i].caption);
    column.cx = S(columns[i].width);
    SendMessageA(timers, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
  AddButton(P::Timer, f.BtnAdd, ids::kBtnAdd, 190, 226, 75, 25);
  AddButton(P::Timer, f.BtnEdit, ids::kBtnEdit, 275, 226, 75, 25);
  AddButton(P::Timer, f.BtnDelete, ids::kBtnDelete, 360, 226, 75, 25);

  AddLabel(P::Sound, f.Label9, 20, 40, 415, 16);
  AddCheckBox(P::Sound, f.ChkEnableSound, ids::kChkEnableSound, 20, 62, 300);
  AddLabel(P::Sound, f.Label10, 20, 95, 60, 16, ids::kLabel10);
  AddEdit(P::Sound, f.EdtSoundPath, ids::kEdtSoundPath, 85, 92, 190, ES_READONLY);
  AddButton(P::Sound, f.BtnBrowse, ids::kBtnBrowse, 280, 91, 75, 23);
  AddButton(P::Sound, f.BtnPreview, ids::kBtnPreview, 360, 91, 75, 23);
  AddCheckBox(P::Sound, f.ChkLoop, ids::kChkLoop, 20, 124, 200);
  AddCheckBox(P::Sound, f.ChkSetVolume, ids::kChkSetVolume, 20, 150, 200);
  HWND volume = Add(P::Sound, Kind::kTrackBar, &f.TckBarVolume, TRACKBAR_CLASSA,
                    WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, ids::kTckBarVolume, 20, 176, 300, 30);
  SendMessageA(volume, TBM_SETRANGEMIN, FALSE, f.TckBarVolume.minimum);
  SendMessageA(volume, TBM_SETRANGEMAX, FALSE, f.TckBarVolume.maximum);
  SendMessageA(volume, TBM_SETLINESIZE, 0, f.TckBarVolume.lineSize);
  SendMessageA(volume, TBM_SETPAGESIZE, 0, f.TckBarVolume.pageSize);

  AddLabel(P::Cleanup, f.Label11, 20, 40, 415, 44);
  HWND cleanup = Add(P::Cleanup, Kind::kCheckList, &f.LvwCleanup, WC_LISTVIEWA,
                     WS_TABSTOP | LVS_LIST | LVS_SINGLESEL | LVS_NOCOLUMNHEADER, ids::kLvwCleanup,
                     20, 88, 415, 164, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(cleanup, LVS_EX_CHECKBOXES);
  SendMessageA(cleanup, LVM_SETCOLUMNWIDTH, 0, S(400));
  for (std::size_t i = 0; i < f.LvwCleanup.items.size(); ++i) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<char*>(f.LvwCleanup.items[i].caption.c_str());
    SendMessageA(cleanup, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }

  AddLabel(P::Password, f.Label12, 20, 40, 415, 30);
  AddCheckBox(P::Password, f.ChkPassword, ids::kChkPassword, 20, 76, 300);
  AddLabel(P::Password, f.Label13, 20, 111, 150, 16, ids::kLabel13);
  AddEdit(P::Password, f.EdtPwd, ids::kEdtPwd, 180, 108, 200, ES_PASSWORD);
  AddLabel(P::Password, f.Label14, 20, 141, 150, 16, ids::kLabel14);
  AddEdit(P::Password, f.EdtPwdConfirm, ids::kEdtPwdConfirm, 180, 138, 200, ES_PASSWORD);

  AddLabel(P::Log, f.Label16, 20, 40, 415, 16);
  AddCheckBox(P::Log, f.ChkEnableLog, ids::kChkEnableLog, 20, 64, 300);
  AddButton(P::Log, f.CmdViewLog, ids::kCmdViewLog, 20, 98, 110, 25);
  AddButton(P::Log, f.CmdDeleteLog, ids::kCmdDeleteLog, 140, 98, 110, 25);

  AddLabel(P::About, f.Label17, 20, 50, 415, 20, ids::kLabel17);
  AddLabel(P::About, f.LblWebSite, 20, 80, 415, 20, ids::kLblWebSite);
  AddLabel(P::About, f.LblEmail, 20, 104, 415, 20, ids::kLblEmail);

  // Below the pages: visible whatever page is shown.
  for (auto [button, id, x] : {std::tuple{&f.BtnOK, ids::kOk, 204},
                               std::tuple{&f.BtnCancel, ids::kCancel, 289},
                               std::tuple{&f.BtnHelp, ids::kHelp, 374}}) {
    AddButton(std::nullopt, *button, id, x, 272, 75, 25);
  }

  // The pages' controls lie on the page control: it goes below them all.
  SetWindowPos(pageControl_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (int id = ids::kEdtPowerdown; id <= ids::kEdtLogoff; ++id)
    SetWindowSubclass(GetDlgItem(Handle(), id), &FieldProc, kFieldSubclass, 0);
  SetWindowSubclass(GetDlgItem(Handle(), ids::kEdtPwd), &FieldProc, kFieldSubclass, 0);
  SetWindowSubclass(GetDlgItem(Handle(), ids::kEdtPwdConfirm), &FieldProc, kFieldSubclass, 0);
}

const MainWindow::Binding* MainWindow::Find(int id) const {
  for (const Binding& b : bindings_)
    if (b.id == id) return &b;
  return nullptr;
}

void MainWindow::Sync() {
  syncing_ = true;
  const MainPage page = form_.ActivePage();
  const int pageIndex = static_cast<int>(page);
  if (SendMessageA(pageControl_, TCM_GETCURSEL, 0, 0) != pageIndex)
    SendMessageA(pageControl_, TCM_SETCURSEL, static_cast<WPARAM>(pageIndex), 0);
  for (const Binding& b : bindings_) {
    const bool onPage = !b.page || *b.page == page;
    if ((IsWindowVisible(b.hwnd) != FALSE) != onPage) ShowWindow(b.hwnd, onPage ? SW_SHOW : SW_HIDE);
    if (!b.state) continue;
    if ((IsWindowEnabled(b.hwnd) != FALSE) != b.state->enabled) EnableWindow(b.hwnd, b.state->enabled);
    switch (b.kind) {
      case Kind::kLabel:
        SetTextIfChanged(b.hwnd, static_cast<Label*>(b.state)->caption);
        break;
      case Kind::kButton:
        SetTextIfChanged(b.hwnd, static_cast<Button*>(b.state)->caption);
        break;
      case Kind::kCheckBox: {
        auto* box = static_cast<CheckBox*>(b.state);
        const WPARAM check = box->Checked() ? BST_CHECKED : BST_UNCHECKED;
        if (static_cast<WPARAM>(SendMessageA(b.hwnd, BM_GETCHECK, 0, 0)) != check)
          SendMessageA(b.hwnd, BM_SETCHECK, check, 0);
        break;
      }
      case Kind::kEdit: {
        auto* edit = static_cast<Edit*>(b.state);
        SetTextIfChanged(b.hwnd, edit->text);
        if (edit->selectAllRequested) {
          SendMessageA(b.hwnd, EM_SETSEL, 0, -1);
          edit->selectAllRequested = false;
        }
        break;
      }
      case Kind::kTrackBar: {
        auto* bar = static_cast<TrackBar*>(b.state);
        if (SendMessageA(b.hwnd, TBM_GETPOS, 0, 0) != bar->position)
          SendMessageA(b.hwnd, TBM_SETPOS, TRUE, bar->position);
        break;
      }
      case Kind::kCheckList: {
        auto* list = static_cast<CheckList*>(b.state);
        for (std::size_t i = 0; i < list->items.size(); ++i) {
          const int item = static_cast<int>(i);
          if ((ListView_GetCheckState(b.hwnd, item) != 0) != list->items[i].checked)
            ListView_SetCheckState(b.hwnd, item, list->items[i].checked);
        }
        break;
      }
      case Kind::kPlain:
        break;
    }
  }
  if (Edit* focus = form_.TakeFocusRequest()) {
    for (const Binding& b : bindings_)
      if (b.state == focus) SetFocus(b.hwnd);
  }
  syncing_ = false;
}

void MainWindow::Run(const std::function<void()>& handler) {
  handler();
  Sync();
}

void MainWindow::HideWindow() { ShowWindow(Handle(), SW_HIDE); }

void MainWindow::ShowInFront() {
  ShowWindow(Handle(), SW_SHOWNORMAL);
  SetForegroundWindow(Handle());
  ShowWindow(Handle(), SW_SHOW);
}

void MainWindow::ShowMainWindowGuarded() { ShowInFront(); }

void MainWindow::OnCommand(int id, int code, HWND control) {
  const Binding* b = Find(id);
  if (!b || b->hwnd != control) return;
  TFrmMain& f = form_;
  if (b->kind == Kind::kEdit) {
    if (code == EN_CHANGE && !syncing_) static_cast<Edit*>(b->state)->text = TextOf(control);
    if (code == EN_SETFOCUS && id == ids::kSpinDuration) Run([&f] { f.SpinDurationEnter(); });
    return;
  }
  if (code != BN_CLICKED) return;
  if (b->kind == Kind::kCheckBox) {
    Run([b] { static_cast<CheckBox*>(b->state)->Click(); });
    return;
  }
  switch (id) {
    case ids::kOk: Run([&f] { f.BtnOKClick(); }); break;
    case ids::kCancel: Run([&f] { f.BtnCancelClick(); }); break;
    default: break;
  }
}

LRESULT MainWindow::OnNotify(NMHDR* header) {
  if (header->idFrom == ids::kPageControl) {
    if (header->code == TCN_SELCHANGING) {
      bool allowed = true;
      Run([&] { allowed = form_.PageControlChanging(); });
      return allowed ? FALSE : TRUE;
    }
    if (header->code == TCN_SELCHANGE) {
      const auto page = static_cast<MainPage>(SendMessageA(pageControl_, TCM_GETCURSEL, 0, 0));
      Run([&] { form_.PageChanged(page); });
    }
    return 0;
  }
  if (header->idFrom == ids::kLvwCleanup && header->code == LVN_ITEMCHANGED && !syncing_) {
    auto* change = reinterpret_cast<NMLISTVIEW*>(header);
    auto& items = form_.LvwCleanup.items;
    if ((change->uChanged & LVIF_STATE) && change->iItem >= 0 &&
        static_cast<std::size_t>(change->iItem) < items.size())
      items[static_cast<std::size_t>(change->iItem)].checked =
          ListView_GetCheckState(header->hwndFrom, change->iItem) != 0;
  }
  return 0;
}

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (showMainWindowMsg_ != 0 && msg == showMainWindowMsg_) {
    ShowMainWindowGuarded();
    return Window::OnMessage(msg, wParam, lParam);
  }
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == GetDlgItem(Handle(), ids::kTckBarVolume))
        form_.TckBarVolume.position =
            static_cast<int>(SendMessageA(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0));
      return 0;
    case WM_APP: {
      TFrmMain& f = form_;
      const int id = static_cast<int>(wParam);
      Run([&f, id] {
        if (id == ids::kEdtPwd) f.EdtPwdMouseMove();
        else if (id == ids::kEdtPwdConfirm) f.EdtPwdConfirmMouseMove();
        else if (id == ids::kEdtPowerdown) f.EdtPowerdownMouseMove();
        else if (id == ids::kEdtPowerdown + 1) f.EdtShutdownMouseMove();
        else if (id == ids::kEdtPowerdown + 2) f.EdtRebootMouseMove();
        else if (id == ids::kEdtPowerdown + 3) f.EdtHibernateMouseMove();
        else if (id == ids::kEdtPowerdown + 4) f.EdtSuspendMouseMove();
        else if (id == ids::kEdtLogoff) f.EdtLogoffMouseMove();
      });
      return 0;
    }
    case WM_CLOSE: {
      bool allowed = false;
      Run([&] { allowed = form_.FormCloseQuery(); });
      if (allowed) DestroyWindow(Handle());
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return Window::OnMessage(msg, wParam, lParam);
  }
}

}  // namespace halcyra
