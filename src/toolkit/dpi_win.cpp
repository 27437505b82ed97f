#include "toolkit/dpi_win.h"

#include "platform/win32/handle_win.h"
#include "platform/win32/loaded_library_win.h"

namespace halcyra {
namespace {

// Functions of Windows 10 (1607 on): looked up, so that the program still starts on older
// systems, where each monitor has the system's DPI.
template <typename Function>
Function* User32Function(const char* name) {
  return FunctionOf<Function>(GetModuleHandleW(L"user32.dll"), name);
}

using GetDpiForWindowFunction = UINT WINAPI(HWND);
using AdjustWindowRectExForDpiFunction = BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT);
using GetSystemMetricsForDpiFunction = int WINAPI(int, UINT);
// shcore.dll, Windows 8.1 on; 0 is MDT_EFFECTIVE_DPI, the DPI the user chose for the monitor.
using GetDpiForMonitorFunction = HRESULT WINAPI(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;

}  // namespace

int SystemDpi() {
  const WindowDc screen(nullptr);
  const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : kDesignDpi;
  return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND window) {
  static auto* const getDpi = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
  const UINT dpi = getDpi && window ? getDpi(window) : 0;
  return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

int MonitorDpi(HMONITOR monitor) {
  const LoadedLibrary shcore(L"shcore.dll");
  auto* const getDpi = shcore.Function<GetDpiForMonitorFunction>("GetDpiForMonitor");
  UINT x = 0, y = 0;
  if (getDpi && monitor && SUCCEEDED(getDpi(monitor, kEffectiveDpi, &x, &y)) && y > 0)
    return static_cast<int>(y);
  return SystemDpi();
}

RECT WorkArea(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor && GetMonitorInfoW(monitor, &info)) return info.rcWork;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

HMONITOR PointerMonitor() {
  POINT pointer{};
  GetCursorPos(&pointer);
  return MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST);
}

HMONITOR ForegroundMonitor() {
  const HWND foreground = GetForegroundWindow();
  return foreground ? MonitorFromWindow(foreground, MONITOR_DEFAULTTONEAREST) : PointerMonitor();
}

SIZE FrameSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi) {
  static auto* const adjust =
      User32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
  RECT frame{0, 0, ScaleToDpi(clientWidth, dpi), ScaleToDpi(clientHeight, dpi)};
  if (!adjust || !adjust(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi)))
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  return {frame.right - frame.left, frame.bottom - frame.top};
}

UniqueGdiObject<HFONT> DialogFont(int dpi) {
  // The stock font has the system's DPI, the one of the primary monitor at logon.
  LOGFONTW font{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  font.lfHeight = Rescale(font.lfHeight, SystemDpi(), dpi);
  return UniqueGdiObject<HFONT>(CreateFontIndirectW(&font));
}

int SystemMetric(int index, int dpi) {
  static auto* const metric =
      User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
  if (metric) return metric(index, static_cast<UINT>(dpi));
  return Rescale(GetSystemMetrics(index), SystemDpi(), dpi);
}

}  // namespace halcyra
