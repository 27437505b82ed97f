// What the labels and boxes on the main window's pages draw with: the text colour of the
// system, on the page control's own body (a theme may paint it as a gradient) or, in high
// contrast, on the system's face colour.
#pragma once

#include <windows.h>

#include "platform/win32/handle_win.h"

namespace halcyra {

bool HighContrastOn();

class PageBackground {
 public:
  // Prepares the control's drawing context and returns its background brush; none for an
  // edit field or a control below the pages.
  HBRUSH For(HWND pageControl, HWND control, HDC dc, bool highContrast);
  // The theme or the system colours changed: the body is painted again when next needed.
  void Forget();

 private:
  UniqueGdiObject<HBRUSH> body_;
};

}  // namespace halcyra
