// Message boxes of the program, modal to the window of the program that is active when one is
// shown: that window takes no input while the box is open, so no OK or Enter behind the box can
// run its handler a second time, nor afterwards while the countdown or a dialog still holds it.
#pragma once

#include <windows.h>

#include "platform/message_box.h"

namespace halcyra {

class Win32MessageBoxes final : public MessageBoxes {
 public:
  int Show(const std::string& text, const std::string& caption, unsigned style) override;
  // The program's window that hears of every box as it opens (WM_ENTERIDLE, MSGF_DIALOGBOX), as
  // a box's owner does: a box's loop does not wait on what the main loop waits on.
  void TellWhileOpen(HWND window) { told_ = window; }

 private:
  HWND told_ = nullptr;
};

}  // namespace halcyra
