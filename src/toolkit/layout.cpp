#include "toolkit/layout.h"

#include <algorithm>
#include <cstdint>

namespace halcyra {

int Rescale(int value, int from, int to) {
  const std::int64_t product = static_cast<std::int64_t>(value) * to;
  const std::int64_t half = from / 2;
  return static_cast<int>(product >= 0 ? (product + half) / from : (product - half) / from);
}

int ScaleToDpi(int length, int dpi) { return Rescale(length, kDesignDpi, dpi); }

Place ScaleToDpi(const Place& place, int dpi) {
  return {ScaleToDpi(place.x, dpi), ScaleToDpi(place.y, dpi), ScaleToDpi(place.width, dpi),
          ScaleToDpi(place.height, dpi)};
}

namespace {

int Fit(int start, int length, int low, int high) {
  return std::max(low, std::min(start, high - length));
}

}  // namespace

Point CentredOrigin(const Box& area, int width, int height, const Box& bounds) {
  const int x = area.left + (area.right - area.left - width) / 2;
  const int y = area.top + (area.bottom - area.top - height) / 2;
  return {Fit(x, width, bounds.left, bounds.right), Fit(y, height, bounds.top, bounds.bottom)};
}

}  // namespace halcyra
