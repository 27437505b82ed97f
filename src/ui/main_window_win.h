// The main window "TFrmMain" titled "Halcyra": the Win32 face of TFrmMain. It creates the
// real controls, forwards their events to the logic and mirrors the logic's state back onto
// them after every handler. It is owned by the application's hidden window, which carries the
// tool-window style so that the program has no taskbar button.
#pragma once

#include <functional>
#include <memory>

#include "ui/control_binder_win.h"
#include "ui/main_form.h"
#include "ui/window_win.h"

namespace halcyra {

inline constexpr const char* kMainWindowClass = "TFrmMain";
inline constexpr const char* kShowMainWindowMessageName = "QMV_ShowHCYMainWindow";

class ApplicationWindow final : public Window {
 public:
  ApplicationWindow();
};

class MainWindow final : public Window, private MainFormHost {
 public:
  MainWindow(const MainFormServices& services, HWND owner);

  // Makes the window visible and brings it to the front.
  void ShowInFront();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void HideWindow() override;
  void ShowTimerEditor(TFrmTimer& editor) override;
  void ShowMainWindowGuarded();
  void CreateControls();
  // Runs a handler of the logic and mirrors the state it leaves.
  void Run(const std::function<void()>& handler);
  void Sync();

  TFrmMain form_;
  UINT showMainWindowMsg_ = 0;
  HFONT font_ = nullptr;
  HWND pageControl_ = nullptr;
  std::unique_ptr<ControlBinder> binder_;
};

}  // namespace halcyra
