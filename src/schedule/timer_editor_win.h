// The timer editor "TFrmTimer" titled "Timer settings": the Win32 face of its logic, shown
// modally over the main window.
#pragma once

#include <memory>

#include "schedule/timer_editor.h"
#include "toolkit/bound_window_win.h"

namespace halcyra {

// The window class and the place of a timer dialog: the main window's "TFrmTimer" is
// centred on its owner, the wizard's "TForm2" on the desktop.
struct TimerDialogFrame {
  const char* className;
  int clientWidth;
  int clientHeight;
  bool centredOnOwner;
};
inline constexpr TimerDialogFrame kMainTimerDialog{"TFrmTimer", 305, 269, true};
inline constexpr TimerDialogFrame kWizardTimerDialog{"TForm2", 311, 279, false};

class TimerEditorWindow final : public BoundWindow {
 public:
  TimerEditorWindow(TFrmTimer& editor, HWND owner,
                    const TimerDialogFrame& frame = kMainTimerDialog);

  // Shows the dialog and returns when it has closed; the owner takes no input meanwhile.
  void ShowModal();

 private:
  void CreateControls();
  // Closing through the title bar writes nothing, as Cancel does.
  void CloseClicked() override { editor_.BtnCancelClick(); }

  TFrmTimer& editor_;
};

}  // namespace halcyra
