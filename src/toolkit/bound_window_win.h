// The base of every window of the program that mirrors a logic class: its controls go through
// a ControlBinder, a control's notification runs the logic and the state is mirrored back, and
// the title bar's close button is the window's own close handler.
#pragma once

#include <functional>
#include <memory>

#include "toolkit/control_binder_win.h"
#include "toolkit/window_win.h"

namespace halcyra {

class BoundWindow : public Window {
 protected:
  explicit BoundWindow(HWND owner = nullptr) : owner_(owner) {}
  ~BoundWindow() override { DestroyNow(); }
  // After the window is created: its controls' binder, at the window's DPI.
  void CreateBinder();
  // After the controls are made: the client area as wide as their captions need.
  void FitToTexts();
  // Writes the logic's state onto the controls.
  virtual void Sync() { binder_->Sync(); }
  // Runs a handler of the logic and mirrors the state it leaves.
  void Run(const std::function<void()>& handler);
  virtual void CloseClicked() = 0;
  // A track bar of the window moved.
  virtual void TrackBarMoved() {}
  // The frame and the bound controls have their places at a new DPI: what else the window
  // sizes or draws for its DPI follows.
  virtual void DpiChanged() {}
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // The control that takes the focus when the window is shown and nothing had it before.
  virtual HWND FirstFocus() const;

  HWND owner_;
  std::unique_ptr<ControlBinder> binder_;

 private:
  // As the dialog manager does: the focus goes back to the control that had it when the
  // window lost the activation, or to the first control.
  void RestoreFocus();
  HWND lastFocus_ = nullptr;
};

}  // namespace halcyra
