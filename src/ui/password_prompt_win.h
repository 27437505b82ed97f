// The password prompt "TFrmPwd": the Win32 face of its logic, modal over the main window.
#pragma once

#include <memory>

#include "ui/control_binder_win.h"
#include "ui/password_prompt.h"
#include "ui/window_win.h"

namespace halcyra {

class PasswordPromptWindow final : public Window {
 public:
  PasswordPromptWindow(TFrmPwd& prompt, HWND owner);
  // Returns when the prompt has closed.
  void ShowModal();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Sync();

  TFrmPwd& prompt_;
  HWND owner_;
  std::unique_ptr<ControlBinder> binder_;
  HWND field_ = nullptr;
};

}  // namespace halcyra
