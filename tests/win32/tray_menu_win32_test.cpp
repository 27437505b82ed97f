// The notification icon's menu as Windows holds it.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/tray_menu_win.h"

namespace halcyra {
namespace {

TEST(TrayMenu, HoldsItsCommandsInOrderWithShowMainWindowAsDefaultAndExitLast) {
  TrayMenu menu;
  ASSERT_EQ(GetMenuItemCount(menu.Handle()), 5);
  const char* const captions[] = {"Show main window", "One-off action...", "Hide", "Help", "Exit"};
  for (int i = 0; i < 5; ++i) {
    char text[64] = {};
    GetMenuStringA(menu.Handle(), static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, captions[i]) << i;
  }
  EXPECT_EQ(GetMenuDefaultItem(menu.Handle(), TRUE, 0), 0u) << "the first item is the default";
}

}  // namespace
}  // namespace halcyra
