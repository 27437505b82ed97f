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
};

}  // namespace halcyra
