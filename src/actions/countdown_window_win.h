// The countdown window "TFrmNotify" titled "Halcyra": the Win32 face of its logic. A
// top-level window above all others, shown modally over the program's windows.
#pragma once

#include <memory>

#include "actions/countdown.h"
#include "platform/win32/handle_win.h"
#include "toolkit/bound_window_win.h"

namespace halcyra {

class CountdownWindow final : public BoundWindow, private CountdownHost {
 public:
  CountdownWindow(const CountdownServices& services, const std::string& pendingEvent,
                  HWND programWindow);
  ~CountdownWindow() override;

  // Shows the window and returns how it ended when it has closed; the program's window takes
  // no input meanwhile. After an exit action that Windows accepted it does not return: Windows
  // ends the program.
  CountdownOutcome ShowModal();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void ProcessMessages(int maxWaitMs) override;
  void HideWindow() override;
  void RequestClose() override;
  void CloseClicked() override {
    Run([this] { form_.CloseClicked(); });
  }
  void Dispatch(MSG& msg);
  // Widens the label, and the window around it (about its centre when `centred`), to the
  // longest text it can show.
  void FitLongestText(bool centred);
  // The label's font at the window's DPI, and the room for its longest text.
  void DpiChanged() override;
  void SetLabelFont();

  TFrmNotify form_;
  UniqueGdiObject<HFONT> labelFont_;
  HWND label_ = nullptr;
  HWND abort_ = nullptr;
  bool closeRequested_ = false;
  bool quitSeen_ = false;
  int quitCode_ = 0;
};

}  // namespace halcyra
