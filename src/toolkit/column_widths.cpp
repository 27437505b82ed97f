#include "toolkit/column_widths.h"

#include <algorithm>
#include <numeric>

namespace halcyra {

std::vector<int> FitColumnWidths(const std::vector<ColumnNeed>& needs, int room) {
  const int count = static_cast<int>(needs.size());
  std::vector<int> widths(needs.size());
  if (count == 0) return widths;
  room = std::max(room, 0);
  int headers = 0;
  for (const ColumnNeed& need : needs) headers += need.header;
  if (headers >= room) {
    // Not even the captions fit: each gives up the same part of its own.
    for (int i = 0; i < count; ++i) widths[i] = headers ? needs[i].header * room / headers : 0;
    return widths;
  }
  for (int i = 0; i < count; ++i) widths[i] = needs[i].header;
  int spare = room - headers;
  // The columns that want least more come first, each taking at most an equal share.
  std::vector<int> order(needs.size());
  std::iota(order.begin(), order.end(), 0);
  const auto extra = [&needs](int i) { return std::max(0, needs[i].contents - needs[i].header); };
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return extra(a) < extra(b); });
  for (int k = 0; k < count; ++k) {
    const int i = order[k];
    const int give = std::min(extra(i), spare / (count - k));
    widths[i] += give;
    spare -= give;
  }
  for (int i = 0; i < count; ++i) widths[i] += spare / count + (i < spare % count ? 1 : 0);
  return widths;
}

}  // namespace halcyra
