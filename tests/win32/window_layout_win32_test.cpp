// The sizes of the program's windows against the texts they must show, with Wine's fonts.
#include <windows.h>

#include <gtest/gtest.h>

#include "actions/countdown_window_ids.h"
#include "actions/countdown_window_win.h"
#include "actions/event_words.h"
#include "platform/portable/portable_text_files.h"
#include "support/fakes.h"

namespace halcyra {
namespace {

RECT ClientRectOf(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The longest count, a day, for every action: one line, whole, inside the window.
TEST(CountdownWindowLayout, ItsLabelShowsTheLongestTextOfEveryActionOnOneLine) {
  test::FakeOsInfo os;
  test::RefusingIniProfile ini;
  test::FixedRegionalSettings regional;
  test::FakeMessageBoxes boxes;
  test::RecordingMachineControl machine;
  ProcessState state;
  AppServices app{os, ini, regional, boxes, machine, state};
  test::FakeClock clock;
  test::FakeMixer mixer;
  test::FakeSoundPlayer player;
  PortableTextFiles files;
  AlarmServices alarm{mixer, player, files};
  test::RecordingCleanupTasks cleanup;
  EventLogServices log{os, files, regional};
  test::FakePrivilege privilege;
  test::FakeSleepSupport sleep;
  PowerServices power{os, privilege, machine, boxes, sleep};
  CountdownWindow window(
      {app, clock, alarm, cleanup, log, power}, "Shutdown", [] {}, nullptr);

  const HWND label = GetDlgItem(window.Handle(), countdown_ids::kLblNotify);
  const RECT place = ClientRectOf(label);
  RECT client;
  GetClientRect(window.Handle(), &client);
  EXPECT_GE(place.left, client.left);
  EXPECT_LE(place.right, client.right);
  const HDC dc = GetDC(label);
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  for (const EventWordMeaning& meaning : kEventWords) {
    const std::string text = CountdownText(meaning.word, kLongestCountdown);
    RECT needed{0, 0, place.right - place.left, 0};
    DrawTextA(dc, text.c_str(), -1, &needed, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    EXPECT_LE(needed.right, place.right - place.left) << text;
    EXPECT_LE(needed.bottom, metrics.tmHeight) << text << ": one line";
  }
  ReleaseDC(label, dc);
}

}  // namespace
}  // namespace halcyra
