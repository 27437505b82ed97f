#include "ui/password_prompt.h"

#include "app/settings.h"
#include "lang/texts.h"
#include "ui/password_rules.h"

namespace halcyra {

TFrmPwd::TFrmPwd(const AppServices& services) : services_(services) {
  Label1.caption = Tr("Password: ");
  BtnOK.caption = Tr("OK");
  BtnCancel.caption = Tr("Cancel");
}

void TFrmPwd::FormCreate() { accepted_ = false; }

void TFrmPwd::BtnOKClick() {
  const std::string stored = LoadPasswordSettings(services_.OpenSettings()).digest;
  if (PasswordDigest(EdtPwd.text) == stored) {
    accepted_ = true;
    closed_ = true;
    return;
  }
  services_.boxes.Show(Tr(kWrongPasswordMessage), kAppTitle, mb::kOk | mb::kIconInformation);
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
