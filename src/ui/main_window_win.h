// The main window "TFrmMain" titled "Halcyra": the Win32 face of TFrmMain. It creates the
// real controls, forwards their events to the logic and mirrors the logic's state back onto
// them after every handler. It is owned by the application's hidden window, which carries the
// tool-window style so that the program has no taskbar button.
#pragma once

#include <functional>
#include <memory>

#include "platform/win32/win32_system_services_win.h"
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

// Shows the countdown window for the pending event over the main window, modally; the
// function given to it switches the schedule's tick on again.
using CountdownLauncher = std::function<void(HWND mainWindow, std::function<void()> enableTick)>;

class MainWindow final : public Window, private MainFormHost {
 public:
  // The hotkeys are registered for this window while it is created: the registry learns its
  // handle first.
  MainWindow(const MainFormServices& services, HWND owner, CountdownLauncher launchCountdown,
             Win32HotkeyRegistry& hotkeys);
  ~MainWindow() override;

  // Makes the window visible and brings it to the front.
  void ShowInFront();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void HideWindow() override;
  void ShowTimerEditor(TFrmTimer& editor) override;
  void ShowCountdown() override;
  bool ShowPasswordPrompt() override;
  void ShowWindowInFront() override { ShowInFront(); }
  void SetTrayIcon(bool present) override;
  void ShowTrayMenu() override;
  void CloseWindow() override;
  void TerminateProcesses(const std::string& exeName) override;
  std::string ExecutablePath() const override;
  void CreateControls();
  // Runs a handler of the logic and mirrors the state it leaves.
  void Run(const std::function<void()>& handler);
  void Sync();

  const AppServices& app_;
  TFrmMain form_;
  CountdownLauncher launchCountdown_;
  bool timer1Running_ = false;
  UINT showMainWindowMsg_ = 0;
  UINT taskbarCreatedMsg_ = 0;
  HMENU popupMenu_ = nullptr;
  HFONT font_ = nullptr;
  HWND pageControl_ = nullptr;
  std::unique_ptr<ControlBinder> binder_;
};

}  // namespace halcyra
