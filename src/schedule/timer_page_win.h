// The controls of a Timer page, the same in the main window and the wizard: the list of
// timers with its five columns and the Add, Edit and Delete buttons, wired to the window's
// handlers of those names.
#pragma once

#include "lang/texts.h"
#include "toolkit/control_binder_win.h"

namespace halcyra {

struct TimerPageIds {
  int label, list, add, edit, remove, managed;
};

template <typename Form>
void AddTimerPageControls(ControlBinder& b, Form& f, const TimerPageIds& ids) {
  b.AddLabel(f.Label8, ids.label, {20, 40, 415, 30});
  b.AddReportList(
      f.LvwTimer, ids.list, {20, 74, 415, 146},
      {Tr("Title"), Tr("Status"), Tr("Shutdown Event"), Tr("Activation Time"), Tr("Frequency")});
  b.AddButton(f.BtnAdd, ids.add, {190, 226, 75, 25});
  b.AddButton(f.BtnEdit, ids.edit, {275, 226, 75, 25});
  b.AddButton(f.BtnDelete, ids.remove, {360, 226, 75, 25});
  b.AddLabel(f.LblManagedTimers, ids.managed, {20, 224, 165, 30});
  b.OnClick(ids.add, [&f] { f.BtnAddClick(); });
  b.OnClick(ids.edit, [&f] { f.BtnEditClick(); });
  b.OnClick(ids.remove, [&f] { f.BtnDeleteClick(); });
  b.OnDoubleClick(ids.list, [&f] { f.LvwTimerDblClick(); });
}

}  // namespace halcyra
