#include "ui/tray_menu_win.h"

#include "ui/main_window_ids.h"

namespace halcyra {

TrayMenu::TrayMenu() : menu_(CreatePopupMenu()) {
  AppendMenuA(menu_, MF_STRING, main_ids::kMmuMainWindow, "Show main window");
  AppendMenuA(menu_, MF_STRING, main_ids::kMnuHide, "Hide");
  AppendMenuA(menu_, MF_STRING, main_ids::kMnuHelp, "Help");
  AppendMenuA(menu_, MF_STRING, main_ids::kMnuExit, "Exit");
  // Bold, and what a double-click on the icon does.
  SetMenuDefaultItem(menu_, main_ids::kMmuMainWindow, FALSE);
}

TrayMenu::~TrayMenu() {
  if (menu_) DestroyMenu(menu_);
}

void TrayMenu::Open(HWND owner, ScreenPoint anchor) const {
  SetForegroundWindow(owner);
  // The shell's anchor: the pointer for the mouse, the icon for the keyboard.
  const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0 ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
  TrackPopupMenuEx(menu_, align | TPM_TOPALIGN | TPM_RIGHTBUTTON, anchor.x, anchor.y, owner,
                   nullptr);
  // Without it the menu does not close when the user clicks elsewhere (a documented quirk of
  // menus of notification icons).
  PostMessageA(owner, WM_NULL, 0, 0);
}

}  // namespace halcyra
