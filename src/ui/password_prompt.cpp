#include "ui/password_prompt.h"

#include "app/settings.h"
#include "ui/password_rules.h"

namespace halcyra {

TFrmPwd::TFrmPwd(const AppServices& services) : services_(services) {
  Label1.caption = "Password: ";
  BtnOK.caption = "OK";
  BtnCancel.caption = "Cancel";
}

void TFrmPwd::FormCreate() { accepted_ = false; }

void TFrmPwd::BtnOKClick() {
  const std::string stored = LoadPasswordSettings(services_.OpenSettings()).digest;
  if (PasswordDigest(EdtPwd.text) == stored) {
    accepted_ = true;
    closed_ = true;
    return;
  }
  services_.boxes.Show(kWrongPasswordMessage, kAppTitle, mb::kOk | mb::kIconInformation);
  focusRequested_ = true;
  EdtPwd.selectAllRequested = true;
}

void TFrmPwd::BtnCancelClick() {
  accepted_ = false;
  closed_ = true;
}

void TFrmPwd::EdtPwdKeyPress(char key) {
  if (key == kEnterKey) BtnOKClick();
}

}  // namespace halcyra
