#include "wizard/wizard_window_win.h"

#include "lang/texts.h"
#include "schedule/timer_editor_win.h"
#include "schedule/timer_page_win.h"
#include "ui/main_window_ids.h"
#include "ui/settings_pages_win.h"
#include "wizard/wizard_ids.h"

namespace halcyra {
namespace {

namespace ids = wizard_ids;

constexpr const char* kClass = "TForm1";
constexpr Text kCaption = "Wizard of Halcyra";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

}  // namespace

WizardWindow::WizardWindow(const PageServices& services) : form_(services, *this) {
  RegisterClassOnce(kClass, nullptr);
  CreateCentered(kExStyle, kClass, Tr(kCaption).c_str(), kStyle, 459, 303, nullptr);
  CreateBinder();
  CreateControls();
  FitToTexts();
}

void WizardWindow::CreateControls() {
  TForm1& f = form_;
  ControlBinder& b = *binder_;
  // Reading order is tab order: the title, the shown page, then <Back, Next>, Cancel.
  b.SetGroup(std::nullopt);
  b.AddLabel(f.Label15, ids::kLabel15, {12, 10, 435, 16});

  b.SetGroup(static_cast<int>(WizardPage::Timer));
  AddTimerPageControls(b, f,
                       {ids::kLabel8, ids::kLvwTimer, ids::kBtnAdd, ids::kBtnEdit, ids::kBtnDelete,
                        ids::kLblManagedTimers});

  int label = main_ids::kFirstPlainLabel;
  AddSettingsPageControls(
      b, f,
      {static_cast<int>(WizardPage::General), static_cast<int>(WizardPage::Hotkeys),
       static_cast<int>(WizardPage::Sound), static_cast<int>(WizardPage::Cleanup),
       static_cast<int>(WizardPage::Password), static_cast<int>(WizardPage::Log)},
      -4, label);

  b.SetGroup(std::nullopt);
  b.AddButton(f.BtnBack, ids::kBtnBack, {214, 270, 75, 25});
  b.AddButton(f.BtnNext, ids::kBtnNext, {294, 270, 75, 25});
  b.AddButton(f.BtnCancel, ids::kBtnCancel, {374, 270, 75, 25});
  b.OnClick(ids::kBtnNext, [&f] { f.BtnNextClick(); });
  b.OnClick(ids::kBtnBack, [&f] { f.BtnBackClick(); });
  b.OnClick(ids::kBtnCancel, [&f] { f.BtnCancelClick(); });
  SubclassSettingsFields(Handle());
}

void WizardWindow::Sync() {
  binder_->ShowGroup(static_cast<int>(form_.ActivePage()));
  binder_->Sync();
  if (const Edit* focus = form_.TakeFocusRequest()) binder_->Focus(focus);
}

void WizardWindow::ShowModal() {
  Run([this] { form_.FormCreate(); });
  SetForegroundWindow(Handle());
  RunModal(Handle(), nullptr, [this] { return closed_; });
}

void WizardWindow::ShowTimerEditor(TFrmTimer& editor) {
  TimerEditorWindow window(editor, Handle(), kWizardTimerDialog);
  window.ShowModal();
  Sync();
}

LRESULT WizardWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (HandleSettingsFieldMessage(form_, msg, wParam, lParam)) {
    Sync();
    return 0;
  }
  return BoundWindow::OnMessage(msg, wParam, lParam);
}

}  // namespace halcyra
