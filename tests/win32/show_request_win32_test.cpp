// The hand-over of a second start to the running instance, against Wine's message queues.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "startup_host_win.h"
#include "support/fakes.h"
#include "ui/main_window_win.h"

namespace halcyra {
namespace {

std::atomic<bool> showRequestHandled{false};

LRESULT CALLBACK RunningWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == RegisterWindowMessageA(kShowMainWindowMessageName)) showRequestHandled = true;
  return DefWindowProcA(window, message, w, l);
}

// A running instance that reads no message for longer than the five seconds after which the
// system calls it hung (a long clean-up, the service wait after OK) still gets the request once
// it reads its messages again.
TEST(ShowRequest, ReachesAnInstanceThatWasBusyForSeconds) {
  std::atomic<bool> created{false};
  std::thread running([&created] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = RunningWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowA(kMainWindowClass, kAppTitle, WS_OVERLAPPED, 0, 0, 10, 10,
                                      nullptr, nullptr, windowClass.hInstance, nullptr);
    created = true;
    Sleep(8000);
    for (const DWORD until = GetTickCount() + 10000;
         !showRequestHandled && GetTickCount() < until;) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
      Sleep(10);
    }
    DestroyWindow(window);
  });
  while (!created) Sleep(10);
  Sleep(6000);  // the instance has read nothing for six seconds when the request comes

  test::FakeApp fake;
  Win32MessageBoxes boxes;
  Win32StartupHost host(fake.app, boxes);
  host.AskRunningInstanceToShow();
  running.join();
  EXPECT_TRUE(showRequestHandled);
}

}  // namespace
}  // namespace halcyra
