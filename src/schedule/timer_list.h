// The rows of the timer list and their order.
#pragma once

#include <vector>

#include "schedule/timer_record.h"
#include "toolkit/controls.h"

namespace halcyra {

// The list is ordered by this column, "Activation Time".
inline constexpr int kTimerSortColumn = 3;

ListRow TimerRow(const TTimerRecord& record);

// The compare handler of the list: the ASCII case-insensitive text comparison of the row
// captions (column 0) or of column k; negative, zero or positive.
int LvwTimerCompare(const ListRow& a, const ListRow& b, int sortColumn);

// Clears the list and adds one row per record in array order, then sorts it.
void FillTimerList(ListView& list, const std::vector<TTimerRecord>& timers, int sortColumn);
void SortTimerList(ListView& list, int sortColumn);

}  // namespace halcyra
