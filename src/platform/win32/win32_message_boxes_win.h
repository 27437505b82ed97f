#pragma once

#include <windows.h>

#include "platform/message_box.h"

namespace halcyra {

// Message boxes owned by a window of the program (or by none).
class Win32MessageBoxes final : public MessageBoxes {
 public:
  explicit Win32MessageBoxes(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  int Show(const std::string& text, const std::string& caption, unsigned style) override;

 private:
  HWND owner_;
};

}  // namespace halcyra
