// The behaviour of the password prompt "TFrmPwd", shown before the main window is shown or
// the program is ended while password protection is on.
#pragma once

#include <utility>

#include "app/app_services.h"
#include "lang/texts.h"
#include "toolkit/controls.h"

namespace halcyra {

inline constexpr Text kWrongPasswordMessage = "The password is not correct, please try it again.";
inline constexpr char kEnterKey = 13;

class TFrmPwd {
 public:
  explicit TFrmPwd(const AppServices& services);

  Label Label1;
  Edit EdtPwd;
  Button BtnOK, BtnCancel;

  bool Closed() const { return closed_; }
  bool PasswordAccepted() const { return accepted_; }

  void FormCreate();
  void BtnOKClick();
  void BtnCancelClick();
  void EdtPwdKeyPress(char key);
  // The title bar's close button: the answer stays no.
  void CloseClicked() { closed_ = true; }
  // The field that wants the keyboard focus, taken by the view.
  bool TakeFocusRequest() { return std::exchange(focusRequested_, false); }

 private:
  const AppServices& services_;
  bool accepted_ = false;
  bool closed_ = false;
  bool focusRequested_ = false;
};

}  // namespace halcyra
