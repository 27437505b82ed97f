// The one-off action window "TFrmOnce" titled "One-off action": the Win32 face of its logic,
// shown modally over the (usually hidden) main window from the notification icon's menu.
#pragma once

#include "lang/texts.h"
#include "one_off/once_form.h"
#include "toolkit/bound_window_win.h"

namespace halcyra {

inline constexpr const char* kOnceWindowClass = "TFrmOnce";
inline constexpr Text kOnceWindowTitle = "One-off action";

class OnceWindow final : public BoundWindow {
 public:
  OnceWindow(TFrmOnce& form, HWND owner);

  // Shows the window and returns when it has closed.
  void ShowModal();

 private:
  void CreateControls();
  void Sync() override;
  // Closing through the title bar sends nothing, as Cancel does.
  void CloseClicked() override { form_.BtnCancelClick(); }
  // F1 is Help.
  bool TranslateKey(const MSG& msg) override;

  TFrmOnce& form_;
};

}  // namespace halcyra
