#include "toolkit/text_width_win.h"

#include "platform/win32/handle_win.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {
namespace {

// The window's device context with the font selected, given back as it was found.
class FontDc {
 public:
  FontDc(HWND window, HFONT font) : dc_(window) {
    if (dc_.Get()) old_ = SelectObject(dc_.Get(), font);
  }
  ~FontDc() {
    if (dc_.Get()) SelectObject(dc_.Get(), old_);
  }
  FontDc(const FontDc&) = delete;
  FontDc& operator=(const FontDc&) = delete;
  HDC Get() const { return dc_.Get(); }

 private:
  WindowDc dc_;
  HGDIOBJ old_ = nullptr;
};

}  // namespace

int TextWidth(HWND window, HFONT font, const std::string& text) {
  const FontDc dc(window, font);
  if (!dc.Get()) return 0;
  RECT needed{};
  const std::wstring wide = Wide(text);
  DrawTextW(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &needed,
            DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  return needed.right - needed.left;
}

int TextHeight(HWND window, HFONT font, const std::string& text, int width) {
  const FontDc dc(window, font);
  if (!dc.Get()) return 0;
  RECT needed{0, 0, width, 0};
  const std::wstring wide = Wide(text);
  DrawTextW(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &needed,
            DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
  return needed.bottom - needed.top;
}

}  // namespace halcyra
