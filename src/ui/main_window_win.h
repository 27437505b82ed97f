// The main window "TFrmMain" titled "Halcyra": the Win32 face of TFrmMain. It creates the
// real controls, forwards their events to the logic and mirrors the logic's state back onto
// them after every handler. It is owned by the application's hidden window, which carries the
// tool-window style so that the program has no taskbar button. The tray program's icon,
// hotkeys and timers are this window's, so that its messages come here: they go on to it.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/win32/win32_system_services_win.h"
#include "toolkit/bound_window_win.h"
#include "ui/main_form.h"
#include "ui/page_background_win.h"
#include "ui/tray_program_view_win.h"

namespace halcyra {

inline constexpr const char* kMainWindowClass = "TFrmMain";

class ApplicationWindow final : public Window {
 public:
  ApplicationWindow();
};

class MainWindow final : public BoundWindow, private MainFormHost, private ProgramWindow {
 public:
  MainWindow(const ProgramServices& services, HWND owner, Win32HotkeyRegistry& hotkeys,
             bool firstRunOnVista);
  ~MainWindow() override;

  HWND Handle() const override { return Window::Handle(); }
  // Makes the window visible and brings it to the front.
  void ShowInFront() override;
  // The program behind the icon, whose messages come to this window.
  TrayProgramView& Program() { return program_; }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // Of the settings window's logic and of the program alike.
  void HideWindow() override { ShowWindow(Handle(), SW_HIDE); }
  void RunHandler(const std::function<void()>& handler) override { Run(handler); }
  void ShowTimerEditor(TFrmTimer& editor) override;
  // The pages' controls come with the first show: a window that stays hidden in the
  // notification area needs none of them, nor the common controls' library they load.
  void CreateControlsOnce();
  void CreateControls();
  HWND FirstFocus() const override { return pageControl_; }
  // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PageDown and Ctrl+PageUp change the page, F1 is Help
  // (outside the hotkey fields).
  bool TranslateKey(const MSG& msg) override;
  void AddAboutPage();
  void SetTabPadding();
  // The title bar's and Alt+Tab's icons at the window's DPI.
  void SetTitleIcons();
  void DpiChanged() override;
  void Sync() override;
  // The close button, Exit and the end of the program: closes only when the logic allows it.
  void CloseClicked() override;
  void TrackBarMoved() override { form_.TckBarVolumeChange(); }
  LRESULT HandlePageControl(const NMHDR& header);

  // Before the settings window's logic, which shows what the program holds.
  TrayProgramView program_;
  TFrmMain form_;
  UniqueIcon smallIcon_, bigIcon_;
  PageBackground pageBackground_;
  HWND pageControl_ = nullptr;
};

}  // namespace halcyra
