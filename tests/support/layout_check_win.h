// What the eye would catch in a window's layout at some DPI: a control not wholly inside the
// client area, a caption that its control cuts off, a label lying over another control, a
// caption that runs into the control after it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace halcyra::test {

// A window's text, and the name of its class.
std::string TextOf(HWND hwnd);
std::string ClassOf(HWND hwnd);

// A run of three plain Latin letters: English that a pseudo-locale should have replaced.
bool HasPlainWord(const std::string& text);

// `fontOf` gives the font a control draws its caption with.
std::vector<std::string> LayoutFaults(HWND window, int dpi,
                                      const std::function<HFONT(HWND)>& fontOf);

}  // namespace halcyra::test
