#include "toolkit/layout.h"

#include <gtest/gtest.h>

#include "toolkit/column_widths.h"

namespace halcyra {
namespace {

TEST(Layout, PlacesScaleToTheDpiRoundedToTheNearestPixel) {
  const Place ok{204, 272, 75, 25};
  for (const auto& [dpi, expected] :
       {std::pair{96, Place{204, 272, 75, 25}}, std::pair{120, Place{255, 340, 94, 31}},
        std::pair{144, Place{306, 408, 113, 38}}, std::pair{192, Place{408, 544, 150, 50}}}) {
    const Place scaled = ScaleToDpi(ok, dpi);
    EXPECT_EQ(scaled.x, expected.x) << dpi;
    EXPECT_EQ(scaled.y, expected.y) << dpi;
    EXPECT_EQ(scaled.width, expected.width) << dpi;
    EXPECT_EQ(scaled.height, expected.height) << dpi;
  }
  // A font's height is negative: its halves round away from zero as well.
  EXPECT_EQ(Rescale(-11, 96, 144), -17);
  EXPECT_EQ(Rescale(11, 96, 144), 17);
  EXPECT_EQ(Rescale(-16, 144, 96), -11);
  EXPECT_EQ(ScaleToDpi(0, 192), 0);
}

TEST(Layout, AWindowOpensCentredOnItsAreaAndWithinTheWorkArea) {
  const Box second{-1920, 0, 0, 1040};  // a monitor left of the primary one, taskbar below
  Point at = CentredOrigin(second, 700, 500, second);
  EXPECT_EQ(at.x, -1310);
  EXPECT_EQ(at.y, 270);
  // Centred on an owner near the work area's edge: moved in, not off the monitor.
  at = CentredOrigin({-300, 900, -100, 1040}, 700, 500, second);
  EXPECT_EQ(at.x, -700);
  EXPECT_EQ(at.y, 540);
  // Larger than the work area: its title bar stays on the monitor.
  at = CentredOrigin(second, 2500, 1200, second);
  EXPECT_EQ(at.x, -1920);
  EXPECT_EQ(at.y, 0);
}

// Every caption whole first, then the contents, the columns that want least served first; the
// sum is the list's width, so no horizontal scroll bar appears.
TEST(Layout, ColumnsShowTheirCaptionsFirstAndShareTheRest) {
  const std::vector<ColumnNeed> timers = {{40, 300}, {50, 60}, {30, 30}};
  EXPECT_EQ(FitColumnWidths(timers, 200), (std::vector<int>{110, 60, 30}))
      << "the long title takes what the others leave";
  EXPECT_EQ(FitColumnWidths({{10, 10}, {20, 20}}, 35), (std::vector<int>{13, 22}))
      << "what is left over is spread to the last pixel";
  EXPECT_EQ(FitColumnWidths(timers, 60), (std::vector<int>{20, 25, 15})) << "captions cut alike";
  EXPECT_EQ(FitColumnWidths(timers, -10), (std::vector<int>{0, 0, 0}));
}

}  // namespace
}  // namespace halcyra
