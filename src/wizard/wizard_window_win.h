// The first-run wizard "TForm1" titled "Wizard of Halcyra": the Win32 face of its logic,
// shown modally before the main window exists.
#pragma once

#include <memory>

#include "toolkit/bound_window_win.h"
#include "wizard/wizard_form.h"

namespace halcyra {

class WizardWindow final : public BoundWindow, private WizardHost {
 public:
  explicit WizardWindow(const PageServices& services);
  // Returns when the wizard has closed, whatever closed it.
  void ShowModal();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void ShowTimerEditor(TFrmTimer& editor) override;
  void CloseWizard() override { closed_ = true; }
  void CreateControls();
  void Sync() override;
  // Closes without a check and without saving, as Cancel does.
  void CloseClicked() override {
    Run([this] { form_.BtnCancelClick(); });
  }
  void TrackBarMoved() override { form_.TckBarVolumeChange(); }

  TForm1 form_;
  bool closed_ = false;
};

}  // namespace halcyra
