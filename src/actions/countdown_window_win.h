// The countdown window "TFrmNotify" titled "Halcyra": the Win32 face of its logic. A
// top-level window above all others; every other window of the program takes no input while
// it is open, a dialog that was open when the count began included.
#pragma once

#include "actions/countdown.h"
#include "platform/win32/handle_win.h"
#include "toolkit/bound_window_win.h"
#include "toolkit/disabled_window_win.h"

namespace halcyra {

class CountdownWindow final : public BoundWindow {
 public:
  // Shows the window for the firing's logic, which outlives it.
  CountdownWindow(TFrmNotify& form, HWND programWindow);
  // The program's windows take input again, unless a dialog still holds them.
  ~CountdownWindow() override;

  void Sync() override { BoundWindow::Sync(); }
  void Hide() { ShowWindow(Handle(), SW_HIDE); }

 private:
  void CloseClicked() override {
    Run([this] { form_.CloseClicked(); });
  }
  // Widens the label, and the window around it (about its centre when `centred`), to the
  // longest text it can show.
  void FitLongestText(bool centred);
  // The label's font at the window's DPI, and the room for its longest text.
  void DpiChanged() override;
  void SetLabelFont();

  TFrmNotify& form_;
  UniqueGdiObject<HFONT> labelFont_;
  HWND label_ = nullptr;
  HWND abort_ = nullptr;
  std::vector<DisabledWindow> held_;
};

}  // namespace halcyra
