#include "ui/main_window_win.h"

#include "res/resource_ids.h"

namespace halcyra {
namespace {

constexpr const char* kApplicationClass = "TApplication";
constexpr int kClientWidth = 457;
constexpr int kClientHeight = 305;
constexpr DWORD kMainStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

HICON ApplicationIcon() {
  return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APPLICATION_ICON));
}

}  // namespace

ApplicationWindow::ApplicationWindow() {
  RegisterClassOnce(kApplicationClass, ApplicationIcon());
  CreateWindowFor(0, kApplicationClass, kAppTitle, WS_POPUP, 0, 0, 0, 0, nullptr);
  // Replaces every other extended style: an owner window with this style gives its owned
  // windows no taskbar button.
  SetWindowLongA(Handle(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
}

MainWindow::MainWindow(const AppServices& services, HWND owner) : services_(services) {
  RegisterClassOnce(kMainWindowClass, ApplicationIcon());
  RECT frame{0, 0, ScaleForDpi(kClientWidth), ScaleForDpi(kClientHeight)};
  AdjustWindowRectEx(&frame, kMainStyle, FALSE, kMainExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  CreateWindowFor(kMainExStyle, kMainWindowClass, kAppTitle, kMainStyle, x, y, width, height,
                  owner);
  showMainWindowMsg_ = RegisterWindowMessageA(kShowMainWindowMessageName);
}

void MainWindow::ShowInFront() {
  ShowWindow(Handle(), SW_SHOWNORMAL);
  SetForegroundWindow(Handle());
  ShowWindow(Handle(), SW_SHOW);
}

void MainWindow::ShowMainWindowGuarded() { ShowInFront(); }

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (showMainWindowMsg_ != 0 && msg == showMainWindowMsg_) ShowMainWindowGuarded();
  switch (msg) {
    case WM_CLOSE:
      // Only the notification menu's Exit really closes the window; a close request hides it.
      ShowWindow(Handle(), SW_HIDE);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return Window::OnMessage(msg, wParam, lParam);
  }
}

}  // namespace halcyra
