#include "wizard/wizard_form.h"

#include "schedule/timer_list.h"

namespace halcyra {
namespace {

constexpr const char* kNextCaption = "Next>";
constexpr const char* kOkCaption = "OK";

}  // namespace

TForm1::TForm1(const PageServices& services, WizardHost& host)
    : SettingsPages(services), host_(host) {
  Label15.caption = "Wizard of Halcyra guides you to set up all options quickly and easily.";
  Label8.caption =
      "You can set up as many timers as you want, and Halcyra will automatically activate the "
      "selected shutdown actions at times of your choice.";
  BtnAdd.caption = "Add";
  BtnEdit.caption = "Edit";
  BtnDelete.caption = "Delete";
  BtnBack.caption = "<Back";
  BtnNext.caption = kNextCaption;
  BtnCancel.caption = "Cancel";
}

const char* TForm1::PageCaption(WizardPage page) {
  static constexpr std::array<const char*, kWizardPageCount> kCaptions = {
      "Timer", "General", "Hotkeys", "Sound", "Clean up", "Password", "Log"};
  return kCaptions[static_cast<std::size_t>(page)];
}

void TForm1::FormCreate() {
  page_ = WizardPage::Timer;
  BtnBack.enabled = false;
  ChkEnableSound.SetChecked(false);
  ChkPassword.SetChecked(false);
  TckBarVolume.position = pages_.mixer.GetMasterVolume() >> 8;
}

void TForm1::BtnNextClick() {
  if (!CheckShownPage(page_ == WizardPage::Password, page_ == WizardPage::Sound)) return;
  SaveWizardSettings();
  if (BtnNext.caption != kNextCaption) {
    host_.CloseWizard();
    return;
  }
  page_ = static_cast<WizardPage>(static_cast<int>(page_) + 1);
  BtnBack.enabled = true;
  if (page_ == WizardPage::Log) BtnNext.caption = kOkCaption;
}

void TForm1::BtnBackClick() {
  if (page_ == WizardPage::Timer) return;
  if (page_ == WizardPage::General) BtnBack.enabled = false;
  page_ = static_cast<WizardPage>(static_cast<int>(page_) - 1);
  BtnNext.caption = kNextCaption;
}

void TForm1::SaveWizardSettings() {
  SettingsFile file = pages_.app.OpenSettings();
  file.WriteString("general", "ShowSystemTray", FlagText(ChkSystemTray.Checked()));
  file.WriteString("general", "PreventTimeChange", FlagText(ChkNoChangeTime.Checked()));
  file.WriteString("general", "Duration", SpinDuration.text);
  file.WriteString("general", "EnableAbort", FlagText(ChkAbort.Checked()));
  const auto fields = HotkeyFields();
  for (std::size_t i = 0; i < fields.size(); ++i)
    file.WriteString("Hotkeys", kHotkeySlots[i].key, fields[i]->text.empty() ? "None" : fields[i]->text);
  SaveSoundSection(file);
  SaveCleanupSection(file);
  SavePassword(file);
  file.WriteString("Log", "Enabled", FlagText(ChkEnableLog.Checked()));
}

void TForm1::BtnAddClick() {
  TFrmTimer editor(pages_.app, *this);
  host_.ShowTimerEditor(editor);
}

void TForm1::BtnEditClick() {
  const int selected = LvwTimer.SelectedIndex();
  if (selected < 0) return;
  const std::string& title = LvwTimer.rows[static_cast<std::size_t>(selected)].caption;
  const std::string value = pages_.app.OpenSettings().ReadString(kTimerSection, title);
  TFrmTimer editor(pages_.app, *this);
  editor.PreFill(ParseTimerEntry(title + "=" + value));
  host_.ShowTimerEditor(editor);
}

void TForm1::BtnDeleteClick() {
  if (LvwTimer.SelectedIndex() < 0) return;
  if (pages_.app.boxes.Show("Do you really want to delete the selected timer?", "Delete timer",
                            mb::kYesNo | mb::kIconQuestion) == mb::kIdNo)
    return;
  for (std::size_t i = LvwTimer.rows.size(); i-- > 0;) {
    if (!LvwTimer.rows[i].selected) continue;
    pages_.app.OpenSettings().DeleteKey(kTimerSection, LvwTimer.rows[i].caption);
    LvwTimer.rows.erase(LvwTimer.rows.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

void TForm1::RemoveSelectedTimerRow() { LvwTimer.RemoveSelectedRow(); }

void TForm1::TimerWritten(const std::string& title, const std::string& value) {
  // The wizard has no timer array to reload: the row comes from what was written.
  TTimerRecord record = ParseTimerEntry(title + "=" + value);
  record.Title = title;
  LvwTimer.rows.push_back(TimerRow(record));
  SortTimerList(LvwTimer, kTimerSortColumn);
}

}  // namespace halcyra
