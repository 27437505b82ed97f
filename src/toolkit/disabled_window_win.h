// Disabling that nests. The countdown, a modal window and a message box each keep the
// program's windows from taking input while they are open; a window takes input again only
// when the last of them lets go. The count lives on the window itself, as a property.
#pragma once

#include <windows.h>

#include <vector>

namespace halcyra {

class DisabledWindow {
 public:
  // Disables the window (none for a null or dead handle) until this holder goes.
  explicit DisabledWindow(HWND window);
  ~DisabledWindow();
  DisabledWindow(DisabledWindow&& other) noexcept;
  DisabledWindow(const DisabledWindow&) = delete;
  DisabledWindow& operator=(const DisabledWindow&) = delete;
  DisabledWindow& operator=(DisabledWindow&&) = delete;

  // A message box enables its owner again as it closes, whoever else holds it: disabled once
  // more while anyone does.
  static void KeepHeld(HWND window);

 private:
  HWND window_;
};

// Every other window of the program on this thread (its own windows and the dialogs of the
// system it shows, open or hidden), disabled while the result lives.
std::vector<DisabledWindow> DisableOtherProgramWindows(HWND except);

}  // namespace halcyra
