#include "schedule/timer_page.h"

#include "app/timer_section.h"
#include "lang/texts.h"

namespace halcyra {

TimerPage::TimerPage(const AppServices& app, TimerPageHost& host, DeleteCheck check)
    : app_(app), pageHost_(host), check_(check) {
  Label8.caption =
      Tr("You can set up as many timers as you want, and Halcyra will automatically activate the "
         "selected shutdown actions at times of your choice.");
  BtnAdd.caption = Tr("Add");
  BtnEdit.caption = Tr("Edit");
  BtnDelete.caption = Tr("Delete");
}

namespace {

constexpr Text kManagedTimerMessage =
    "This timer is managed by your organization and cannot be changed or deleted here.";

}  // namespace

void TimerPage::ShowTimerPolicies(const Policies& policies) {
  BtnAdd.enabled = !policies.disableUserTimers;
  LblManagedTimers.caption =
      policies.disableUserTimers || !policies.timers.empty() ? Tr(kManagedSettingsLine) : "";
}

void TimerPage::BtnAddClick() {
  if (app_.policies.Current().disableUserTimers) return;
  TFrmTimer editor(app_, *this);
  pageHost_.ShowTimerEditor(editor);
}

void TimerPage::BtnEditClick() {
  const int selected = LvwTimer.SelectedIndex();
  if (selected < 0) return;
  const auto record = TimerOfRow(LvwTimer.rows[static_cast<std::size_t>(selected)].caption);
  if (!record) return;
  if (record->Managed) {
    app_.boxes.Show(Tr(kManagedTimerMessage), kAppTitle, mb::kOk | mb::kIconInformation);
    return;
  }
  TFrmTimer editor(app_, *this);
  editor.PreFill(*record);
  pageHost_.ShowTimerEditor(editor);
}

void TimerPage::BtnDeleteClick() {
  if (LvwTimer.SelectedIndex() < 0) return;
  for (const ListRow& row : LvwTimer.rows) {
    if (!row.selected) continue;
    const auto record = TimerOfRow(row.caption);
    if (record && record->Managed) {
      app_.boxes.Show(Tr(kManagedTimerMessage), kAppTitle, mb::kOk | mb::kIconInformation);
      return;
    }
  }
  if (app_.boxes.Show(Tr("Do you really want to delete the selected timer?"), Tr("Delete timer"),
                      mb::kYesNo | mb::kIconQuestion) == mb::kIdNo)
    return;
  for (std::size_t i = LvwTimer.rows.size(); i-- > 0;) {
    if (!LvwTimer.rows[i].selected) continue;
    SettingsFile file = app_.OpenSettings();
    const bool gone = RemoveTimerEntry(file, LvwTimer.rows[i].caption);
    if (check_ == DeleteCheck::Verified && !gone) {
      app_.boxes.Show(
          Tr("Can not delete the timer. You must be given \"modify\" access to the file: \"%1\".",
             {file.Path()}),
          kAppTitle, mb::kOk | mb::kIconError);
      return;
    }
    LvwTimer.rows.erase(LvwTimer.rows.begin() + static_cast<std::ptrdiff_t>(i));
  }
  TimersDeleted();
}

}  // namespace halcyra
