// The main window "TFrmMain" titled "Halcyra": the window a second start of the program finds
// and asks to show itself. It is owned by the application's hidden window, which carries the
// tool-window style so that the program has no taskbar button.
#pragma once

#include "app/app_services.h"
#include "ui/window_win.h"

namespace halcyra {

inline constexpr const char* kMainWindowClass = "TFrmMain";
inline constexpr const char* kShowMainWindowMessageName = "QMV_ShowHCYMainWindow";

class ApplicationWindow final : public Window {
 public:
  ApplicationWindow();
};

class MainWindow final : public Window {
 public:
  MainWindow(const AppServices& services, HWND owner);

  // Makes the window visible and brings it to the front.
  void ShowInFront();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void ShowMainWindowGuarded();

  const AppServices& services_;
  UINT showMainWindowMsg_ = 0;
};

}  // namespace halcyra
