// The widths of a report list's columns within its client area: every header whole first, then
// each column as much of its contents as an equal share of the rest allows, so that one long
// text cannot push the others out; what is left over is spread evenly. The sum never exceeds
// the room, so the list needs no horizontal scroll bar.
#pragma once

#include <vector>

namespace halcyra {

struct ColumnNeed {
  int header;    // the width its caption needs
  int contents;  // the width its widest cell needs
};

std::vector<int> FitColumnWidths(const std::vector<ColumnNeed>& needs, int room);

}  // namespace halcyra
