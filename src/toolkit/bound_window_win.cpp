#include "toolkit/bound_window_win.h"

namespace halcyra {

void BoundWindow::CreateBinder() {
  binder_ = std::make_unique<ControlBinder>(Handle(),
                                            static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

void BoundWindow::Run(const std::function<void()>& handler) {
  handler();
  Sync();
}

LRESULT BoundWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (binder_->HandleCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
        Sync();
      return 0;
    case WM_NOTIFY:
      if (binder_->HandleNotify(reinterpret_cast<const NMHDR*>(lParam))) Sync();
      return 0;
    case WM_HSCROLL:
      if (binder_->HandleScroll(reinterpret_cast<HWND>(lParam))) Run([this] { TrackBarMoved(); });
      return 0;
    case WM_CLOSE:
      CloseClicked();
      return 0;
    default:
      return Window::OnMessage(msg, wParam, lParam);
  }
}

}  // namespace halcyra
