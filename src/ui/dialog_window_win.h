// A small modal dialog of the program: its controls go through a ControlBinder, a control's
// notification runs the logic and mirrors the state back, and the title bar's close button is
// the dialog's own close handler.
#pragma once

#include <memory>

#include "ui/control_binder_win.h"
#include "ui/window_win.h"

namespace halcyra {

class DialogWindow : public Window {
 protected:
  explicit DialogWindow(HWND owner) : owner_(owner) {}
  // After the window is created: its controls' binder, with the dialog font.
  void CreateBinder();
  virtual void Sync() { binder_->Sync(); }
  virtual void CloseClicked() = 0;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  HWND owner_;
  std::unique_ptr<ControlBinder> binder_;
};

}  // namespace halcyra
