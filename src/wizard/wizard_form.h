// The behaviour of the first-run wizard "TForm1": the settings pages one at a time with
// "<Back" and "Next>", every "Next>" writing all of them, and a timer list of its own.
#pragma once

#include <string>

#include "schedule/timer_page.h"
#include "ui/settings_pages.h"

namespace halcyra {

enum class WizardPage { Timer, General, Hotkeys, Sound, Cleanup, Password, Log };
inline constexpr int kWizardPageCount = 7;

class WizardHost : public TimerPageHost {
 public:
  virtual void CloseWizard() = 0;
};

// The wizard's Timer page shows only the timers added while it runs: it never loads the
// section Timer and keeps no timer array.
class TForm1 final : public SettingsPages, public TimerPage {
 public:
  TForm1(const PageServices& services, WizardHost& host);

  Label Label15;
  Button BtnBack, BtnNext, BtnCancel;

  WizardPage ActivePage() const { return page_; }
  static std::string PageCaption(WizardPage page);

  void FormCreate();
  void BtnNextClick();
  void BtnBackClick();
  void BtnCancelClick() { host_.CloseWizard(); }
  // Writes the settings of every page; a refused write escapes to the general error handler.
  void SaveWizardSettings();

 private:
  std::optional<TTimerRecord> TimerOfRow(const std::string& title) const override;
  void TimerWritten(const std::string& title, const std::string& value) override;

  WizardHost& host_;
  WizardPage page_ = WizardPage::Timer;
};

}  // namespace halcyra
