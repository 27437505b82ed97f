#include "ui/dialog_window_win.h"

namespace halcyra {

void DialogWindow::CreateBinder() {
  binder_ = std::make_unique<ControlBinder>(Handle(),
                                            static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

LRESULT DialogWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (binder_->HandleCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
        Sync();
      return 0;
    case WM_CLOSE:
      CloseClicked();
      return 0;
    default:
      return Window::OnMessage(msg, wParam, lParam);
  }
}

}  // namespace halcyra
