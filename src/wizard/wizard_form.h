// The behaviour of the first-run wizard "TForm1": the settings pages one at a time with
// "<Back" and "Next>", every "Next>" writing all of them, and a timer list of its own.
#pragma once

#include <string>

#include "schedule/timer_editor.h"
#include "ui/settings_pages.h"

namespace halcyra {

enum class WizardPage { Timer, General, Hotkeys, Sound, Cleanup, Password, Log };
inline constexpr int kWizardPageCount = 7;

class WizardHost {
 public:
  virtual ~WizardHost() = default;
  // Shows the wizard's timer dialog modally; returns when it has closed.
  virtual void ShowTimerEditor(TFrmTimer& editor) = 0;
  virtual void CloseWizard() = 0;
};

class TForm1 final : public SettingsPages, private TimerEditorHost {
 public:
  TForm1(const PageServices& services, WizardHost& host);

  Label Label15, Label8;
  ListView LvwTimer;
  Button BtnAdd, BtnEdit, BtnDelete;
  Button BtnBack, BtnNext, BtnCancel;

  WizardPage ActivePage() const { return page_; }
  static const char* PageCaption(WizardPage page);

  void FormCreate();
  void BtnNextClick();
  void BtnBackClick();
  void BtnCancelClick() { host_.CloseWizard(); }
  void BtnAddClick();
  void BtnEditClick();
  void LvwTimerDblClick() { BtnEditClick(); }
  void BtnDeleteClick();
  // Writes the settings of every page; a refused write escapes to the general error handler.
  void SaveWizardSettings();

 private:
  const ListView& TimerList() const override { return LvwTimer; }
  void RemoveSelectedTimerRow() override;
  void TimerWritten(const std::string& title, const std::string& value) override;

  WizardHost& host_;
  WizardPage page_ = WizardPage::Timer;
};

}  // namespace halcyra
