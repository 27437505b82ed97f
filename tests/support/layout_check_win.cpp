#include "support/layout_check_win.h"

#include <iterator>
#include <optional>

#include "platform/win32/utf8_win.h"
#include "toolkit/layout.h"

namespace halcyra::test {

std::string TextOf(HWND hwnd) {
  wchar_t text[512] = {};
  GetWindowTextW(hwnd, text, static_cast<int>(std::size(text)));
  return Utf8(text);
}

bool HasPlainWord(const std::string& text) {
  int run = 0;
  for (const char c : text) {
    run = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ? run + 1 : 0;
    if (run == 3) return true;
  }
  return false;
}

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

namespace {

// The room the caption takes in that font: on one line, or wrapped within `width`.
SIZE Needed(HWND control, HFONT font, const std::string& text, UINT format, int width) {
  const HDC dc = GetDC(control);
  const HGDIOBJ old = SelectObject(dc, font);
  RECT needed{0, 0, width, 0};
  DrawTextW(dc, Wide(text).c_str(), -1, &needed, format | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return {needed.right, needed.bottom};
}

// The room a control's caption needs, its box or edges included, and the format it is drawn
// with; nothing for a control whose caption is not laid out as text from its left edge.
struct CaptionRoom {
  SIZE needed{};
  int extra = 0;
  bool fromLeft = false;  // the text starts at the control's left edge, box included
};

std::optional<CaptionRoom> RoomOf(HWND control, int dpi, HFONT font) {
  const std::string text = TextOf(control);
  if (text.empty()) return std::nullopt;
  RECT client;
  GetClientRect(control, &client);
  const std::string name = ClassOf(control);
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  CaptionRoom room;
  if (name == "Static") {
    const LONG type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP)
      return std::nullopt;
    room.needed = Needed(control, font, text,
                         type == SS_LEFTNOWORDWRAP ? DT_SINGLELINE : DT_WORDBREAK, client.right);
    room.fromLeft = type == SS_LEFT || type == SS_LEFTNOWORDWRAP;
  } else if (name == "Button") {
    const LONG type = style & BS_TYPEMASK;
    room.needed = Needed(control, font, text, DT_SINGLELINE, client.right);
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
      room.extra = ScaleToDpi(6, dpi);  // the button's edges
    } else if (type == BS_GROUPBOX) {
      room.extra = ScaleToDpi(14, dpi);  // the frame's corner before the caption
    } else {
      room.extra = ScaleToDpi(17, dpi);  // the box or circle and the gap after it
      room.fromLeft = (style & BS_RIGHTBUTTON) == 0 && (style & BS_LEFTTEXT) == 0;
    }
  } else {
    return std::nullopt;
  }
  return room;
}

// Why the caption does not fit, or nothing.
std::string CaptionFault(HWND control, int dpi, HFONT font) {
  const auto room = RoomOf(control, dpi, font);
  if (!room) return {};
  RECT client;
  GetClientRect(control, &client);
  const int width = client.right, height = client.bottom;
  const int cx = room->needed.cx + room->extra;
  if (cx <= width && room->needed.cy <= height) return {};
  return "\"" + TextOf(control) + "\" needs " + std::to_string(cx) + "x" +
         std::to_string(room->needed.cy) + ", has " + std::to_string(width) + "x" +
         std::to_string(height);
}

// A shown control that begins within the standard gap after a caption's last character on the
// same line: the words run into it.
std::string Touched(HWND window, HWND control, int dpi, HFONT font) {
  const auto room = RoomOf(control, dpi, font);
  if (!room || !room->fromLeft || !IsWindowVisible(control)) return {};
  RECT own;
  GetWindowRect(control, &own);
  const int textEnd = own.left + room->needed.cx + room->extra;
  const int gap = ScaleToDpi(4, dpi);
  for (HWND other = GetWindow(window, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
    RECT theirs;
    GetWindowRect(other, &theirs);
    if (other == control || !IsWindowVisible(other) || IsRectEmpty(&theirs) ||
        ClassOf(other) == "SysTabControl32" || theirs.left <= own.left ||
        theirs.top >= own.bottom || theirs.bottom <= own.top || theirs.left >= textEnd + gap)
      continue;
    if (ClassOf(other) == "Button" &&
        (GetWindowLongA(other, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX)
      continue;
    return ClassOf(other) + " " + std::to_string(GetDlgCtrlID(other)) + " " +
           std::to_string(theirs.left - textEnd) + " px after the text";
  }
  return {};
}

// A shown label that reaches into another shown control (the tab control holds them all).
std::string Overlapped(HWND window, HWND label) {
  if (ClassOf(label) != "Static" || TextOf(label).empty() || !IsWindowVisible(label)) return {};
  RECT own;
  GetWindowRect(label, &own);
  for (HWND other = GetWindow(window, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
    RECT theirs, common;
    GetWindowRect(other, &theirs);
    if (other == label || !IsWindowVisible(other) || ClassOf(other) == "SysTabControl32" ||
        !IntersectRect(&common, &own, &theirs))
      continue;
    return ClassOf(other) + " " + std::to_string(GetDlgCtrlID(other));
  }
  return {};
}

}  // namespace

std::vector<std::string> LayoutFaults(HWND window, int dpi,
                                      const std::function<HFONT(HWND)>& fontOf) {
  std::vector<std::string> faults;
  RECT client;
  GetClientRect(window, &client);
  // Every page's controls, the hidden ones too: they all lie on the same client area. Only a
  // control without a size is no control to look at (a hidden name for a screen reader).
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(child, &r);
    if (IsRectEmpty(&r)) continue;
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    const std::string what = ClassOf(child) + " " + std::to_string(GetDlgCtrlID(child));
    if (r.left < 0 || r.top < 0 || r.right > client.right || r.bottom > client.bottom)
      faults.push_back(what + " outside the client area");
    if (std::string fault = CaptionFault(child, dpi, fontOf(child)); !fault.empty())
      faults.push_back(what + ": " + fault);
    if (std::string other = Overlapped(window, child); !other.empty())
      faults.push_back(what + " lies over " + other);
    if (std::string other = Touched(window, child, dpi, fontOf(child)); !other.empty())
      faults.push_back(what + ": its caption runs into " + other);
  }
  return faults;
}

}  // namespace halcyra::test
