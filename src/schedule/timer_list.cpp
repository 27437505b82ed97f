#include "schedule/timer_list.h"

#include <algorithm>

#include "actions/event_words.h"
#include "core/text.h"
#include "lang/texts.h"
#include "schedule/frequency.h"

namespace halcyra {
namespace {

const std::string& ColumnText(const ListRow& row, int column) {
  static const std::string kEmpty;
  if (column == 0) return row.caption;
  const auto index = static_cast<std::size_t>(column - 1);
  return index < row.subItems.size() ? row.subItems[index] : kEmpty;
}

}  // namespace

ListRow TimerRow(const TTimerRecord& record) {
  const Text status = record.Managed
                          ? (record.Enabled ? Text("Managed") : Text("Disabled (managed)"))
                          : (record.Enabled ? Text("Enabled") : Text("Disabled"));
  return {
      record.Title,
      {Tr(status), EventCaption(record.ShutEvent), record.Time, FrequencyCaption(record.Frequency)},
      false};
}

int LvwTimerCompare(const ListRow& a, const ListRow& b, int sortColumn) {
  const std::string x = UpperAscii(ColumnText(a, sortColumn));
  const std::string y = UpperAscii(ColumnText(b, sortColumn));
  return x.compare(y);
}

void SortTimerList(ListView& list, int sortColumn) {
  std::stable_sort(list.rows.begin(), list.rows.end(),
                   [sortColumn](const ListRow& a, const ListRow& b) {
                     return LvwTimerCompare(a, b, sortColumn) < 0;
                   });
}

void FillTimerList(ListView& list, const std::vector<TTimerRecord>& timers, int sortColumn) {
  list.rows.clear();
  for (const TTimerRecord& record : timers) list.rows.push_back(TimerRow(record));
  SortTimerList(list, sortColumn);
}

}  // namespace halcyra
