#include "toolkit/window_win.h"

#include <cmath>
#include <exception>
#include <optional>
#include <utility>

#include "lang/texts.h"
#include "platform/win32/utf8_win.h"
#include "toolkit/disabled_window_win.h"
#include "toolkit/dpi_win.h"

namespace halcyra {

Window::~Window() { DestroyNow(); }

void Window::DestroyNow() {
  if (!hwnd_) return;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(std::exchange(hwnd_, nullptr));
}

void Window::RegisterClassOnce(const char* className, HICON icon) {
  const std::wstring name = Wide(className);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name.c_str(), &existing)) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &Window::Procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name.c_str();
  RegisterClassExW(&wc);
}

HWND Window::CreateWindowFor(DWORD exStyle, const char* className, const char* title, DWORD style,
                             int x, int y, int width, int height, HWND parent) {
  // The process's layout reaches only windows without a parent or owner; the countdown's
  // parent is the desktop, and owned dialogs should read as their owner does.
  DWORD layout = 0;
  if (GetProcessDefaultLayout(&layout) && (layout & LAYOUT_RTL)) exStyle |= WS_EX_LAYOUTRTL;
  return CreateWindowExW(exStyle, Wide(className).c_str(), Wide(title).c_str(), style, x, y, width,
                         height, parent, nullptr, GetModuleHandleW(nullptr), this);
}

HWND Window::CreateCentered(DWORD exStyle, const char* className, const char* title, DWORD style,
                            int clientWidth, int clientHeight, HWND parent, RECT area) {
  const HMONITOR monitor =
      IsRectEmpty(&area) ? PointerMonitor() : MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST);
  const RECT work = WorkArea(monitor);
  if (IsRectEmpty(&area)) area = work;
  const int dpi = MonitorDpi(monitor);
  client_ = {clientWidth, clientHeight};
  designWidth_ = clientWidth;
  SIZE frame = FrameSize(clientWidth, clientHeight, style, exStyle, dpi);
  Point at = CentredOrigin(ToBox(area), frame.cx, frame.cy, ToBox(work));
  HWND hwnd =
      CreateWindowFor(exStyle, className, title, style, at.x, at.y, frame.cx, frame.cy, parent);
  // The system gives a new window the DPI of the monitor it lies on, which is the one above
  // unless the monitors changed meanwhile.
  if (hwnd && WindowDpi(hwnd) != dpi) {
    frame = FrameSize(clientWidth, clientHeight, style, exStyle, WindowDpi(hwnd));
    at = CentredOrigin(ToBox(area), frame.cx, frame.cy, ToBox(work));
    SetWindowPos(hwnd, nullptr, at.x, at.y, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return hwnd;
}

void Window::MoveToMonitor(HMONITOR monitor) {
  if (!monitor || MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST) == monitor) return;
  const SIZE frame =
      FrameSize(client_.cx, client_.cy, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), MonitorDpi(monitor));
  const Box work = ToBox(WorkArea(monitor));
  const Point at = CentredOrigin(work, frame.cx, frame.cy, work);
  // Windows follows the move with WM_DPICHANGED when the monitor's DPI is another.
  SetWindowPos(hwnd_, nullptr, at.x, at.y, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::StretchClient(double stretch, int dpi, bool keepCentre) {
  const int width = static_cast<int>(std::lround(designWidth_ * stretch));
  if (width == client_.cx) return;
  client_.cx = width;
  RECT now;
  GetWindowRect(hwnd_, &now);
  const SIZE frame =
      FrameSize(client_.cx, client_.cy, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi);
  Point at{now.left, now.top};
  if (keepCentre) {
    const Box work = ToBox(WorkArea(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST)));
    at = CentredOrigin(ToBox(now), frame.cx, frame.cy, work);
  }
  SetWindowPos(hwnd_, nullptr, at.x, at.y, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::FitFrameToDpi(int dpi, POINT topLeft) {
  const SIZE frame =
      FrameSize(client_.cx, client_.cy, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi);
  SetWindowPos(hwnd_, nullptr, topLeft.x, topLeft.y, frame.cx, frame.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

Window* Window::FromHandle(HWND hwnd) {
  // Only a window of our own procedure keeps a window object in its user data.
  if (!hwnd ||
      GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&Window::Procedure))
    return nullptr;
  return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT Window::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<Window*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The window is gone: the object must not destroy it a second time.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  try {
    return self->OnMessage(msg, wParam, lParam);
  } catch (const std::exception& error) {
    ReportUncaughtError(hwnd, error.what());
  } catch (...) {
    ReportUncaughtError(hwnd, Tr("Unknown error.").c_str());
  }
  return 0;
}

void RunModal(HWND dialog, HWND owner, const std::function<bool()>& closed) {
  std::optional<DisabledWindow> held(std::in_place, owner);
  ShowWindow(dialog, SW_SHOW);
  MSG msg;
  while (!closed() && IsWindow(dialog)) {
    // As a system dialog tells its owner, before it waits for its user.
    if (owner && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
      SendMessageW(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (HandleDialogMessage(dialog, msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // Let go before the dialog hides, so that Windows activates the owner rather than another
  // program's window; an owner that the countdown still holds stays disabled.
  held.reset();
  ShowWindow(dialog, SW_HIDE);
}

bool HandleDialogMessage(HWND window, MSG& msg) {
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    Window* self = Window::FromHandle(window);
    if (self && (msg.hwnd == window || IsChild(window, msg.hwnd)) && self->TranslateKey(msg))
      return true;
  }
  return IsDialogMessageW(window, &msg) != FALSE;
}

void ReportUncaughtError(HWND owner, const char* text) {
  // An error's text may hold a path, which is UTF-8 inside the program.
  MessageBoxW(owner, Wide(text).c_str(), L"Halcyra", MB_OK | MB_ICONERROR);
}

}  // namespace halcyra
