// The DPI of windows and monitors, for a program that is aware of each monitor's DPI from
// Windows 10 1703 on and of the system's DPI before (its manifest says so). The functions
// that tell a window's DPI came with Windows 10; where they are missing, every window has the
// system's DPI, as it then does.
#pragma once

#include <windows.h>

#include "platform/win32/handle_win.h"
#include "toolkit/layout.h"

namespace halcyra {

int SystemDpi();
int WindowDpi(HWND window);
int MonitorDpi(HMONITOR monitor);

// The monitor that holds the mouse pointer, the foreground window's, and a monitor's work area
// (the screen without the taskbar and docked bars).
HMONITOR PointerMonitor();
HMONITOR ForegroundMonitor();
RECT WorkArea(HMONITOR monitor);

// The frame around a client area of that many 96-dpi pixels at `dpi`.
SIZE FrameSize(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);

// The program's dialog font (the face and size of the system's GUI font) at `dpi`.
UniqueGdiObject<HFONT> DialogFont(int dpi);

// The metric of the system (SM_CXSMICON, ...) at `dpi`.
int SystemMetric(int index, int dpi);

inline Box ToBox(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace halcyra
