#include "ui/page_background_win.h"

#include <commctrl.h>

#include <iterator>

namespace halcyra {

bool HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

HBRUSH PageBackground::For(HWND pageControl, HWND control, HDC dc, bool highContrast) {
  wchar_t className[16] = {};
  GetClassNameW(control, className, static_cast<int>(std::size(className)));
  if (lstrcmpiW(className, L"Edit") == 0) return nullptr;
  RECT body{};
  GetClientRect(pageControl, &body);
  SendMessageW(pageControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&body));
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, pageControl, reinterpret_cast<POINT*>(&place), 2);
  RECT inside{};
  if (!IntersectRect(&inside, &body, &place)) return nullptr;  // below the pages
  // Without it the text stays black, whatever colours the user chose.
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  if (highContrast) {
    // The user's colours, not a picture of a page drawn with other ones.
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
  }
  if (!body_) {
    // The page control paints its body (a theme's gradient or plain colour) into a bitmap
    // once; the controls on the pages draw on that, so no grey boxes stand on a lighter page.
    RECT all{};
    GetClientRect(pageControl, &all);
    const WindowDc screen(pageControl);
    const UniqueMemoryDc memory(CreateCompatibleDC(screen.Get()));
    const UniqueGdiObject<HBITMAP> bitmap(
        CreateCompatibleBitmap(screen.Get(), all.right, all.bottom));
    HGDIOBJ old = SelectObject(memory.Get(), bitmap.Get());
    SendMessageW(pageControl, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT);
    SelectObject(memory.Get(), old);
    body_.Reset(CreatePatternBrush(bitmap.Get()));
  }
  SetBkMode(dc, TRANSPARENT);
  SetBrushOrgEx(dc, -place.left, -place.top, nullptr);
  return body_.Get();
}

void PageBackground::Forget() { body_.Close(); }

}  // namespace halcyra
