#include "one_off/once_window_win.h"

#include "lang/texts.h"
#include "one_off/once_window_ids.h"

namespace halcyra {
namespace {

namespace ids = once_ids;

constexpr int kClientWidth = 420;
constexpr int kClientHeight = 435;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

OnceWindow::OnceWindow(TFrmOnce& form, HWND owner) : BoundWindow(owner), form_(form) {
  RegisterClassOnce(kOnceWindowClass, nullptr);
  CreateCentered(kExStyle, kOnceWindowClass, Tr(kOnceWindowTitle).c_str(), kStyle, kClientWidth,
                 kClientHeight, owner);
  CreateBinder();
  CreateControls();
  FitToTexts();
}

void OnceWindow::CreateControls() {
  TFrmOnce& f = form_;
  ControlBinder& b = *binder_;
  int label = ids::kFirstPlainLabel;
  // Every entry box stands in one column, after the longest caption of the rows; a unit follows
  // its box, and the fields of one choice are indented under it.
  constexpr int kBox = 278, kUnit = 334, kIndent = 30, kRight = 408;
  b.AddLabel(f.LblEvent, ids::kLblEvent, {12, 15, 90, 16});
  b.AddComboBox(f.CboEvent, ids::kCboEvent, {kBox, 12, kRight - kBox, 21});

  // A radio button names nothing for a screen reader: each field after one has a hidden name.
  b.AddRadioButton(f.RbnIn, ids::kRbnIn, {12, 46, 90, 20}, true);
  b.AddAccessibleName(Tr("Minutes from now"));
  b.AddEdit(f.EdtIn, ids::kEdtIn, {kBox, 45, 50, 21});
  b.AddLabel(f.LblInMinutes, label++, {kUnit, 48, kRight - kUnit, 16});
  b.AddRadioButton(f.RbnAt, ids::kRbnAt, {12, 74, 90, 20}, false);
  b.AddAccessibleName(Tr("Time of day"));
  b.AddEdit(f.EdtAt, ids::kEdtAt, {kBox, 73, 50, 21});
  b.AddRadioButton(f.RbnExit, ids::kRbnExit, {12, 102, kRight - 12, 20}, false);
  b.AddAccessibleName(Tr("Program"));
  b.AddComboBox(f.CboProgram, ids::kCboProgram, {kIndent, 125, kRight - kIndent, 21},
                ControlBinder::Items::Data);
  b.AddRadioButton(f.RbnIdle, ids::kRbnIdle, {12, 156, kBox - 18, 20}, false);
  b.AddAccessibleName(Tr("Minutes without input"));
  b.AddEdit(f.EdtIdle, ids::kEdtIdle, {kBox, 155, 50, 21});
  b.AddLabel(f.LblIdleMinutes, label++, {kUnit, 158, kRight - kUnit, 16});
  b.AddRadioButton(f.RbnQuiet, ids::kRbnQuiet, {12, 184, kBox - 18, 20}, false);
  b.AddAccessibleName(Tr("Quiet minutes"));
  b.AddEdit(f.EdtQuiet, ids::kEdtQuiet, {kBox, 183, 50, 21});
  b.AddLabel(f.LblQuietMinutes, label++, {kUnit, 186, kRight - kUnit, 16});
  b.AddLabel(f.LblCpu, label++, {kIndent, 214, kBox - kIndent - 6, 16});
  b.AddEdit(f.EdtCpu, ids::kEdtCpu, {kBox, 211, 50, 21});
  b.AddLabel(f.LblPercent, label++, {kUnit, 214, kRight - kUnit, 16});
  b.AddLabel(f.LblNet, label++, {kIndent, 242, kBox - kIndent - 6, 16});
  b.AddEdit(f.EdtNet, ids::kEdtNet, {kBox, 239, 50, 21});
  b.AddLabel(f.LblKBps, label++, {kUnit, 242, kRight - kUnit, 16});

  b.AddCheckBox(f.ChkLatest, ids::kChkLatest, {12, 272, kBox - 18, 20});
  b.AddAccessibleName(Tr("Latest time"));
  b.AddEdit(f.EdtLatest, ids::kEdtLatest, {kBox, 271, 50, 21});

  b.AddLabel(f.LblForce, label++, {12, 304, kRight - 12, 16});
  // Four lines: the longest request with its figures and its latest time.
  b.AddLabel(f.LblPending, ids::kLblPending, {12, 330, kBox - 18, 58});
  b.AddButton(f.BtnCancelPending, ids::kBtnCancelPending, {kBox, 330, kRight - kBox, 25});
  b.AddButton(f.BtnOK, ids::kOk, {173, 398, 75, 25}, true);
  b.AddButton(f.BtnCancel, ids::kCancel, {253, 398, 75, 25});
  b.AddButton(f.BtnHelp, ids::kHelp, {333, 398, 75, 25});

  b.OnClick(ids::kBtnCancelPending, [&f] { f.BtnCancelPendingClick(); });
  b.OnClick(ids::kOk, [&f] { f.BtnOKClick(); });
  b.OnClick(ids::kCancel, [&f] { f.BtnCancelClick(); });
  b.OnClick(ids::kHelp, [&f] { f.BtnHelpClick(); });
}

void OnceWindow::Sync() {
  binder_->Sync();
  if (const Control* focus = form_.TakeFocusRequest()) binder_->Focus(focus);
}

bool OnceWindow::TranslateKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0 ||
      GetKeyState(VK_MENU) < 0)
    return false;
  if (msg.wParam == VK_F1) {
    Run([this] { form_.BtnHelpClick(); });
    return true;
  }
  // The five "when" buttons are one group with a field after each: the dialog manager's own
  // groups end at each field, so the arrows are taken here, as they move within a group.
  const int radios[] = {ids::kRbnIn, ids::kRbnAt, ids::kRbnExit, ids::kRbnIdle, ids::kRbnQuiet};
  const int step = msg.wParam == VK_DOWN || msg.wParam == VK_RIGHT ? 1
                   : msg.wParam == VK_UP || msg.wParam == VK_LEFT  ? -1
                                                                   : 0;
  const int focused = GetDlgCtrlID(msg.hwnd);
  for (int i = 0; step != 0 && i < 5; ++i) {
    if (radios[i] != focused) continue;
    const HWND next = GetDlgItem(Handle(), radios[(i + step + 5) % 5]);
    SetFocus(next);
    SendMessageW(next, BM_CLICK, 0, 0);
    return true;
  }
  return false;
}

void OnceWindow::ShowModal() {
  Run([this] { form_.FormShow(); });
  SetFocus(GetDlgItem(Handle(), ids::kCboEvent));
  RunModal(Handle(), owner_, [this] { return form_.Closed(); });
}

}  // namespace halcyra
