#include "ui/password_prompt_win.h"

#include "ui/password_prompt_ids.h"

namespace halcyra {
namespace {

namespace ids = password_ids;

constexpr const char* kClass = "TFrmPwd";
constexpr const char* kCaption = "Please enter the password";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

PasswordPromptWindow::PasswordPromptWindow(TFrmPwd& prompt, HWND owner)
    : BoundWindow(owner), prompt_(prompt) {
  RegisterClassOnce(kClass, nullptr);
  CreateCentered(kExStyle, kClass, kCaption, kStyle, 263, 108, owner);
  CreateBinder();
  binder_->AddLabel(prompt_.Label1, ids::kLabel1, {12, 24, 60, 16});
  field_ = binder_->AddEdit(prompt_.EdtPwd, ids::kEdtPwd, {75, 21, 176, 21}, ES_PASSWORD);
  binder_->AddButton(prompt_.BtnOK, ids::kOk, {94, 70, 75, 25}, true);
  binder_->AddButton(prompt_.BtnCancel, ids::kCancel, {176, 70, 75, 25});
  // Enter in the field presses the default button, which is what the key press asks for.
  binder_->OnClick(ids::kOk, [this] { prompt_.BtnOKClick(); });
  binder_->OnClick(ids::kCancel, [this] { prompt_.BtnCancelClick(); });
}

void PasswordPromptWindow::Sync() {
  binder_->Sync();
  if (prompt_.TakeFocusRequest()) SetFocus(field_);
}

void PasswordPromptWindow::ShowModal() {
  prompt_.FormCreate();
  Sync();
  SetFocus(field_);
  RunModal(Handle(), owner_, [this] { return prompt_.Closed(); });
}

}  // namespace halcyra
