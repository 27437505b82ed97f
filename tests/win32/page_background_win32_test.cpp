// The colours of the labels on the main window's pages, with and without high contrast.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "ui/page_background_win.h"

namespace halcyra {
namespace {

int BrushStyle(HBRUSH brush) {
  LOGBRUSH info{};
  GetObjectA(brush, sizeof info, &info);
  return static_cast<int>(info.lbStyle);
}

TEST(PageBackground, PageLabelsTakeTheSystemTextColourAndInHighContrastItsFace) {
  const HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 300, 260, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
  const auto child = [parent](const char* className, int y) {
    return CreateWindowA(className, "Label", WS_CHILD | WS_VISIBLE, 20, y, 100, 16, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
  };
  const HWND pages = child(WC_TABCONTROLA, 0);
  SetWindowPos(pages, nullptr, 0, 0, 300, 200, SWP_NOZORDER);
  const HWND label = child(WC_STATICA, 60);
  const HWND below = child(WC_STATICA, 220);
  PageBackground background;
  const HDC dc = GetDC(label);

  SetTextColor(dc, RGB(1, 2, 3));
  const HBRUSH body = background.For(pages, label, dc, false);
  EXPECT_EQ(BrushStyle(body), BS_PATTERN) << "the page's own body";
  EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_BTNTEXT));

  SetTextColor(dc, RGB(1, 2, 3));
  EXPECT_EQ(background.For(pages, label, dc, true), GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));

  EXPECT_EQ(background.For(pages, below, dc, true), nullptr) << "below the pages";
  ReleaseDC(label, dc);
  DestroyWindow(parent);
}

}  // namespace
}  // namespace halcyra
