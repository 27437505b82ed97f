#include "ui/tray_menu_win.h"

#include "ui/main_window_ids.h"

namespace halcyra {

TrayMenu::TrayMenu(const Policies& policies) : menu_(CreatePopupMenu()) {
  const HMENU menu = menu_.Get();
  AppendMenuW(menu, MF_STRING, main_ids::kMmuMainWindow, L"Show main window");
  if (!policies.disableOneOffs)
    AppendMenuW(menu, MF_STRING, main_ids::kMnuOnce, L"One-off action...");
  AppendMenuW(menu, MF_STRING, main_ids::kMnuHide, L"Hide");
  AppendMenuW(menu, MF_STRING, main_ids::kMnuHelp, L"Help");
  if (!policies.disableExit) AppendMenuW(menu, MF_STRING, main_ids::kMnuExit, L"Exit");
  // Bold, and what a double-click on the icon does.
  SetMenuDefaultItem(menu, main_ids::kMmuMainWindow, FALSE);
}

void TrayMenu::Open(HWND owner, ScreenPoint anchor) const {
  SetForegroundWindow(owner);
  // The shell's anchor: the pointer for the mouse, the icon for the keyboard.
  const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0 ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
  TrackPopupMenuEx(menu_.Get(), align | TPM_TOPALIGN | TPM_RIGHTBUTTON, anchor.x, anchor.y, owner,
                   nullptr);
  // Without it the menu does not close when the user clicks elsewhere (a documented quirk of
  // menus of notification icons).
  PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace halcyra
