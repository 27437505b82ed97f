// Disabling that nests, against Wine's window manager: a window takes input again only when
// the last holder lets go, whatever a message box or a modal loop does on its way out.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "toolkit/disabled_window_win.h"
#include "toolkit/window_win.h"

namespace halcyra {
namespace {

class PlainWindow final : public Window {
 public:
  PlainWindow() {
    RegisterClassOnce("HalcyraDisableTest", nullptr);
    CreateWindowFor(0, "HalcyraDisableTest", "Plain", WS_POPUP, 0, 0, 50, 50, nullptr);
  }
};

TEST(DisabledWindow, TheLastHolderGivesInputBackAndAModalLoopDoesNotBefore) {
  PlainWindow main, dialog, countdown;
  const auto enabled = [](const Window& w) { return IsWindowEnabled(w.Handle()) != FALSE; };

  std::optional<std::vector<DisabledWindow>> countdownHolds(
      DisableOtherProgramWindows(countdown.Handle()));
  EXPECT_FALSE(enabled(main));
  EXPECT_FALSE(enabled(dialog)) << "a dialog open when the count began";
  EXPECT_TRUE(enabled(countdown));

  // A modal dialog over the main window closes during the count.
  RunModal(dialog.Handle(), main.Handle(), [] { return true; });
  EXPECT_FALSE(enabled(main)) << "the countdown still holds it";

  // A message box enables its owner as it closes.
  {
    const DisabledWindow box(main.Handle());
    EnableWindow(main.Handle(), TRUE);
    DisabledWindow::KeepHeld(main.Handle());
  }
  EXPECT_FALSE(enabled(main));

  countdownHolds.reset();
  EXPECT_TRUE(enabled(main));
  EXPECT_TRUE(enabled(dialog));

  // A holder whose window went first lets go of nothing.
  std::optional<DisabledWindow> late(std::in_place, dialog.Handle());
  DestroyWindow(dialog.Handle());
  late.reset();
  EXPECT_TRUE(enabled(main));
}

}  // namespace
}  // namespace halcyra
