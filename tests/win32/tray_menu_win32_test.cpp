// The notification icon's menu as Windows holds it.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/tray_menu_win.h"

namespace halcyra {
namespace {

std::vector<std::string> Captions(const TrayMenu& menu) {
  std::vector<std::string> captions;
  for (int i = 0; i < GetMenuItemCount(menu.Handle()); ++i) {
    char text[64] = {};
    GetMenuStringA(menu.Handle(), static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    captions.push_back(text);
  }
  return captions;
}

TEST(TrayMenu, HoldsItsCommandsInOrderWithShowMainWindowAsDefaultAndExitLast) {
  const TrayMenu menu{Policies{}};
  EXPECT_EQ(Captions(menu), (std::vector<std::string>{"Show main window", "One-off action...",
                                                      "Hide", "Help", "Exit"}));
  EXPECT_EQ(GetMenuDefaultItem(menu.Handle(), TRUE, 0), 0u) << "the first item is the default";

  Policies policies;
  policies.disableOneOffs = policies.disableExit = true;
  EXPECT_EQ(Captions(TrayMenu(policies)),
            (std::vector<std::string>{"Show main window", "Hide", "Help"}));
}

}  // namespace
}  // namespace halcyra
