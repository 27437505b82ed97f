// The geometry of the program's windows, in numbers only: places given in pixels of a 96-dpi
// screen are scaled to the DPI of the monitor a window is on, and a new window is centred on
// an area and kept on its monitor's work area.
#pragma once

namespace halcyra {

struct Place {
  int x, y, width, height;  // in 96-dpi pixels
};

struct Box {
  int left, top, right, bottom;
};

struct Point {
  int x, y;
};

inline constexpr int kDesignDpi = 96;

// `value` * `to` / `from`, rounded to the nearest whole number, halves away from zero.
int Rescale(int value, int from, int to);
// A length or a place of a 96-dpi screen at `dpi`.
int ScaleToDpi(int length, int dpi);
Place ScaleToDpi(const Place& place, int dpi);

// The top-left corner of a frame of that size centred on `area`, then moved as little as it
// takes to lie within `bounds`; a frame larger than `bounds` starts at its top-left corner, so
// that its title bar stays reachable.
Point CentredOrigin(const Box& area, int width, int height, const Box& bounds);

}  // namespace halcyra
