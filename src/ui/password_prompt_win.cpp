#include "ui/password_prompt_win.h"

#include <commctrl.h>

#include "lang/texts.h"
#include "ui/password_prompt_ids.h"

namespace halcyra {
namespace {

namespace ids = password_ids;

constexpr const char* kClass = "TFrmPwd";
constexpr Text kCaption = "Please enter the password";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr UINT_PTR kFieldSubclass = 1;

}  // namespace

PasswordPromptWindow::PasswordPromptWindow(TFrmPwd& prompt, HWND owner)
    : BoundWindow(owner), prompt_(prompt) {
  RegisterClassOnce(kClass, nullptr);
  CreateCentered(kExStyle, kClass, Tr(kCaption).c_str(), kStyle, 263, 108, owner);
  CreateBinder();
  binder_->AddLabel(prompt_.Label1, ids::kLabel1, {12, 24, 60, 16});
  field_ = binder_->AddEdit(prompt_.EdtPwd, ids::kEdtPwd, {75, 21, 176, 21}, ES_PASSWORD);
  // Drawn as the default button, since Enter in the field answers as OK does.
  binder_->AddButton(prompt_.BtnOK, ids::kOk, {94, 70, 75, 25}, true);
  binder_->AddButton(prompt_.BtnCancel, ids::kCancel, {176, 70, 75, 25});
  binder_->OnClick(ids::kOk, [this] { prompt_.BtnOKClick(); });
  SetWindowSubclass(field_, &FieldProc, kFieldSubclass, reinterpret_cast<DWORD_PTR>(this));
  binder_->OnClick(ids::kCancel, [this] { prompt_.BtnCancelClick(); });
  FitToTexts();
}

// Enter in the field is the field's key press, EdtPwdKeyPress, which answers as OK does.
LRESULT CALLBACK PasswordPromptWindow::FieldProc(HWND field, UINT msg, WPARAM wParam, LPARAM lParam,
                                                 UINT_PTR, DWORD_PTR self) {
  auto* window = reinterpret_cast<PasswordPromptWindow*>(self);
  if (msg == WM_GETDLGCODE && lParam) {
    const auto* key = reinterpret_cast<const MSG*>(lParam);
    if (key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
      return DefSubclassProc(field, msg, wParam, lParam) | DLGC_WANTMESSAGE;
  }
  if (msg == WM_CHAR) {
    const char key = static_cast<char>(wParam);
    window->Run([window, key] { window->prompt_.EdtPwdKeyPress(key); });
    if (key == '\r') return 0;  // no beep of a one-line edit
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(field, &FieldProc, kFieldSubclass);
  return DefSubclassProc(field, msg, wParam, lParam);
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
