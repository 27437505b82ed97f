#include "ui/tray_menu_win.h"

#include "lang/texts.h"
#include "platform/win32/utf8_win.h"
#include "ui/main_window_ids.h"

namespace halcyra {

TrayMenu::TrayMenu(const Policies& policies) : menu_(CreatePopupMenu()) {
  const HMENU menu = menu_.Get();
  AppendMenuW(menu, MF_STRING, main_ids::kMmuMainWindow, Wide(Tr("Show main window")).c_str());
  if (!policies.disableOneOffs)
    AppendMenuW(menu, MF_STRING, main_ids::kMnuOnce, Wide(Tr("One-off action...")).c_str());
  AppendMenuW(menu, MF_STRING, main_ids::kMnuHide, Wide(Tr("Hide")).c_str());
  AppendMenuW(menu, MF_STRING, main_ids::kMnuHelp, Wide(Tr("Help")).c_str());
  if (!policies.disableExit)
    AppendMenuW(menu, MF_STRING, main_ids::kMnuExit, Wide(Tr("Exit")).c_str());
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
