// The password prompt "TFrmPwd": the Win32 face of its logic, modal over the main window.
#pragma once

#include "toolkit/bound_window_win.h"
#include "ui/password_prompt.h"

namespace halcyra {

class PasswordPromptWindow final : public BoundWindow {
 public:
  PasswordPromptWindow(TFrmPwd& prompt, HWND owner);
  // Returns when the prompt has closed.
  void ShowModal();

 private:
  void Sync() override;
  // Closing through the title bar leaves the answer at no.
  void CloseClicked() override { prompt_.CloseClicked(); }
  static LRESULT CALLBACK FieldProc(HWND field, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR self);

  TFrmPwd& prompt_;
  HWND field_ = nullptr;
};

}  // namespace halcyra
