#include "toolkit/message_boxes_win.h"

#include "platform/win32/utf8_win.h"
#include "toolkit/disabled_window_win.h"

namespace halcyra {

int Win32MessageBoxes::Show(const std::string& text, const std::string& caption, unsigned style) {
  // The active window of this thread's queue: the program's window the user works in, or none
  // while every window of the program is hidden (a hotkey's message, start-up).
  const HWND owner = GetActiveWindow();
  if (told_ && owner != told_) SendMessageW(told_, WM_ENTERIDLE, MSGF_DIALOGBOX, 0);
  // The texts hold paths, which are UTF-8 inside the program.
  const int answer = MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), style);
  DisabledWindow::KeepHeld(owner);
  return answer;
}

}  // namespace halcyra
