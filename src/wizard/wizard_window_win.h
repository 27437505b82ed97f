// The first-run wizard "TForm1" titled "Wizard of Halcyra": the Win32 face of its logic,
// shown modally before the main window exists.
#pragma once

#include <memory>

#include "ui/control_binder_win.h"
#include "ui/window_win.h"
#include "wizard/wizard_form.h"

namespace halcyra {

class WizardWindow final : public Window, private WizardHost {
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
  void Run(const std::function<void()>& handler);
  void Sync();

  TForm1 form_;
  std::unique_ptr<ControlBinder> binder_;
  bool closed_ = false;
};

}  // namespace halcyra
