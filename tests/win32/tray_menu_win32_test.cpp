// The notification icon's menu as Windows holds it.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/main_window_ids.h"
#include "ui/tray_menu_win.h"

namespace halcyra {
namespace {

TEST(TrayMenu, HoldsTheFourCommandsInOrderWithShowMainWindowAsDefault) {
  TrayMenu menu;
  ASSERT_EQ(GetMenuItemCount(menu.Handle()), 4);
  const UINT expected[] = {main_ids::kMmuMainWindow, main_ids::kMnuHide, main_ids::kMnuHelp,
                           main_ids::kMnuExit};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(GetMenuItemID(menu.Handle(), i), expected[i]) << i;
  EXPECT_EQ(GetMenuDefaultItem(menu.Handle(), FALSE, 0),
            static_cast<UINT>(main_ids::kMmuMainWindow));
}

}  // namespace
}  // namespace halcyra
