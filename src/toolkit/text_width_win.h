// The width that a text takes on one line in a window's font, in screen pixels.
#pragma once

#include <windows.h>

#include <string>

namespace halcyra {

int TextWidth(HWND window, HFONT font, const std::string& text);
// The height a text takes wrapped at words within that width.
int TextHeight(HWND window, HFONT font, const std::string& text, int width);

}  // namespace halcyra
