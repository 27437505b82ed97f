// The timer editor "TFrmTimer" titled "Timer settings": the Win32 face of its logic, shown
// modally over the main window.
#pragma once

#include <memory>

#include "schedule/timer_editor.h"
#include "ui/control_binder_win.h"
#include "ui/window_win.h"

namespace halcyra {

class TimerEditorWindow final : public Window {
 public:
  TimerEditorWindow(TFrmTimer& editor, HWND owner);

  // Shows the dialog and returns when it has closed; the owner takes no input meanwhile.
  void ShowModal();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  void Sync();

  TFrmTimer& editor_;
  HWND owner_;
  std::unique_ptr<ControlBinder> binder_;
};

}  // namespace halcyra
