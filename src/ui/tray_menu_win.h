// The notification icon's pop-up menu: its commands, with "Show main window" as the default and
// "Exit" last, opened at the point the shell anchors it to. An organisation's policies may take
// "One-off action..." and "Exit" out.
#pragma once

#include <windows.h>

#include "platform/win32/handle_win.h"
#include "ui/tray_program.h"

namespace halcyra {

class TrayMenu {
 public:
  explicit TrayMenu(const Policies& policies);

  HMENU Handle() const { return menu_.Get(); }
  // Modal until the user chooses or leaves; the choice reaches the owner as WM_COMMAND.
  void Open(HWND owner, ScreenPoint anchor) const;

 private:
  UniqueMenu menu_;
};

}  // namespace halcyra
