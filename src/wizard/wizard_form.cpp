#include "wizard/wizard_form.h"

#include "app/settings.h"
#include "app/settings_keys.h"
#include "app/timer_section.h"
#include "lang/texts.h"
#include "schedule/timer_list.h"

namespace halcyra {
namespace {

constexpr Text kNextCaption = "Next>";
constexpr Text kOkCaption = "OK";

}  // namespace

TForm1::TForm1(const PageServices& services, WizardHost& host)
    : SettingsPages(services), TimerPage(services.app, host, DeleteCheck::Unverified), host_(host) {
  Label15.caption = Tr("Wizard of Halcyra guides you to set up all options quickly and easily.");
  BtnBack.caption = Tr("<Back");
  BtnNext.caption = Tr(kNextCaption);
  BtnCancel.caption = Tr("Cancel");
}

std::string TForm1::PageCaption(WizardPage page) {
  static constexpr std::array<Text, kWizardPageCount> kCaptions = {
      "Timer", "General", "Hotkeys", "Sound", "Clean up", "Password", "Log"};
  return Tr(kCaptions[static_cast<std::size_t>(page)]);
}

void TForm1::FormCreate() {
  page_ = WizardPage::Timer;
  BtnBack.enabled = false;
  ChkEnableSound.SetChecked(false);
  ChkPassword.SetChecked(false);
  TckBarVolume.position = pages_.mixer.GetMasterVolume() >> 8;
  const Policies& policies = pages_.app.policies.Current();
  ShowPolicies(policies, true);
  ShowTimerPolicies(policies);
}

void TForm1::BtnNextClick() {
  if (!CheckShownPage(page_ == WizardPage::Password, page_ == WizardPage::Sound)) return;
  SaveWizardSettings();
  if (BtnNext.caption != Tr(kNextCaption)) {
    host_.CloseWizard();
    return;
  }
  page_ = static_cast<WizardPage>(static_cast<int>(page_) + 1);
  BtnBack.enabled = true;
  if (page_ == WizardPage::Log) BtnNext.caption = Tr(kOkCaption);
}

void TForm1::BtnBackClick() {
  if (page_ == WizardPage::Timer) return;
  if (page_ == WizardPage::General) BtnBack.enabled = false;
  page_ = static_cast<WizardPage>(static_cast<int>(page_) - 1);
  BtnNext.caption = Tr(kNextCaption);
}

void TForm1::SaveWizardSettings() {
  FinishHotkeyFields();
  SettingsFile file = pages_.app.OpenSettings();
  SaveGeneralSettings(file, GeneralToSave());
  const auto fields = HotkeyFields();
  for (std::size_t i = 0; i < fields.size(); ++i) SaveHotkeySetting(file, i, fields[i]->text);
  SaveSoundSection(file);
  SaveCleanupSection(file);
  SavePassword(file);
  SaveLogEnabled(file, LogToSave());
}

std::optional<TTimerRecord> TForm1::TimerOfRow(const std::string& title) const {
  // An absent key reads as empty: the editor then opens with empty fields.
  return ParseTimerEntry(title + "=" + ReadTimerEntry(pages_.app.OpenSettings(), title));
}

void TForm1::TimerWritten(const std::string& title, const std::string& value) {
  // The wizard has no timer array to reload: the row comes from what was written.
  TTimerRecord record = ParseTimerEntry(title + "=" + value);
  record.Title = title;
  LvwTimer.rows.push_back(TimerRow(record));
  SortTimerList(LvwTimer, kTimerSortColumn);
}

}  // namespace halcyra
