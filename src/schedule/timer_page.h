// The Timer page that the main window and the first-run wizard share: the list of timers with
// its order, and Add, Edit and Delete through the timer editor.
#pragma once

#include <optional>
#include <string>

#include "app/app_services.h"
#include "schedule/timer_editor.h"
#include "schedule/timer_record.h"
#include "toolkit/controls.h"

namespace halcyra {

class TimerPageHost {
 public:
  virtual ~TimerPageHost() = default;
  // Shows the timer editor modally; returns when it has closed.
  virtual void ShowTimerEditor(TFrmTimer& editor) = 0;
};

class TimerPage : protected TimerEditorHost {
 public:
  Label Label8;
  ListView LvwTimer;
  Button BtnAdd, BtnEdit, BtnDelete;
  // While an organisation's policy sets timers or turns the user's off: a line that says so.
  Label LblManagedTimers;

  void BtnAddClick();
  void BtnEditClick();
  void LvwTimerDblClick() { BtnEditClick(); }
  void BtnDeleteClick();

 protected:
  // Whether Delete looks again for each key it deleted, and stops with a message at one that
  // stayed.
  enum class DeleteCheck { Verified, Unverified };
  TimerPage(const AppServices& app, TimerPageHost& host, DeleteCheck check);
  // Add is off while the user's timers are; the page says when timers are managed.
  void ShowTimerPolicies(const Policies& policies);

  // The timer a row shows, for Edit; nullopt opens no editor.
  virtual std::optional<TTimerRecord> TimerOfRow(const std::string& title) const = 0;
  // After Delete has removed the selected rows.
  virtual void TimersDeleted() {}

 private:
  const ListView& TimerList() const override { return LvwTimer; }
  void RemoveSelectedTimerRow() override { LvwTimer.RemoveSelectedRow(); }

  const AppServices& app_;
  TimerPageHost& pageHost_;
  DeleteCheck check_;
};

}  // namespace halcyra
