#include "platform/win32/win32_message_boxes_win.h"

namespace halcyra {

int Win32MessageBoxes::Show(const std::string& text, const std::string& caption, unsigned style) {
  return MessageBoxA(owner_, text.c_str(), caption.c_str(), style);
}

}  // namespace halcyra
