#include "schedule/timer_editor_win.h"

#include "lang/texts.h"
#include "schedule/timer_editor_ids.h"

namespace halcyra {
namespace {

namespace ids = timer_ids;

constexpr Text kCaption = "Timer settings";
// What a screen reader calls the fields whose labels name nothing.
constexpr Text kMinuteName = "Minute";
constexpr Text kWeekdayName = "Day of the week";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

TimerEditorWindow::TimerEditorWindow(TFrmTimer& editor, HWND owner, const TimerDialogFrame& frame)
    : BoundWindow(owner), editor_(editor) {
  RegisterClassOnce(frame.className, nullptr);
  RECT ownerRect{};
  if (frame.centredOnOwner) GetWindowRect(owner, &ownerRect);
  CreateCentered(kExStyle, frame.className, Tr(kCaption).c_str(), kStyle, frame.clientWidth,
                 frame.clientHeight, owner, ownerRect);
  CreateBinder();
  CreateControls();
  FitToTexts();
}

void TimerEditorWindow::CreateControls() {
  TFrmTimer& e = editor_;
  ControlBinder& b = *binder_;
  b.AddLabel(e.Label1, ids::kLabel1, {12, 14, 100, 16});
  b.AddEdit(e.EdtTitle, ids::kEdtTitle, {118, 11, 175, 21});
  b.AddCheckBox(e.ChkEnabled, ids::kChkEnabled, {118, 38, 175, 20});
  b.AddLabel(e.Label2, ids::kLabel2, {12, 69, 100, 16});
  b.AddComboBox(e.CboShutEvent, ids::kCboShutEvent, {118, 66, 175, 21});
  b.AddLabel(e.LblTime, ids::kLblTime, {12, 99, 100, 16});
  b.AddSpinEdit(e.SpinHour, ids::kSpinHour, {118, 96, 48, 21}, std::make_pair(0, 23));
  b.AddLabel(e.Label3, ids::kLabel3, {171, 99, 8, 16});
  // The ":" between the fields names nothing.
  b.AddAccessibleName(Tr(kMinuteName));
  b.AddSpinEdit(e.SpinMinute, ids::kSpinMinute, {182, 96, 48, 21}, std::make_pair(0, 59));
  b.AddRadioButton(e.RbnOnce, ids::kRbnOnce, {12, 130, 281, 20}, true);
  b.AddRadioButton(e.RbnDaily, ids::kRbnDaily, {12, 152, 281, 20}, false);
  b.AddRadioButton(e.RbnWeekday, ids::kRbnWeekday, {12, 174, 281, 20}, false);
  b.AddRadioButton(e.RbnWeekly, ids::kRbnWeekly, {12, 196, 199, 20}, false);
  // Its label is the radio button "Weekly", which a screen reader does not take as a name.
  b.AddAccessibleName(Tr(kWeekdayName));
  b.AddComboBox(e.CboWeekday, ids::kCboWeekday, {217, 195, 80, 21});
  b.AddButton(e.BtnOK, ids::kOk, {133, 234, 75, 25}, true);
  b.AddButton(e.BtnCancel, ids::kCancel, {218, 234, 75, 25});
  b.OnFocus(ids::kSpinHour, [&e] { e.SpinHourEnter(); });
  b.OnFocus(ids::kSpinMinute, [&e] { e.SpinMinuteEnter(); });
  b.OnBlur(ids::kSpinMinute, [&e] { e.SpinMinuteExit(); });
  b.OnClick(ids::kOk, [&e] { e.BtnOKClick(); });
  b.OnClick(ids::kCancel, [&e] { e.BtnCancelClick(); });
}

void TimerEditorWindow::ShowModal() {
  editor_.FormShow();
  Sync();
  SetFocus(GetDlgItem(Handle(), ids::kEdtTitle));
  RunModal(Handle(), owner_, [this] { return editor_.Closed(); });
}

}  // namespace halcyra
