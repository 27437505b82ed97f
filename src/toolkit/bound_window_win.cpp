#include "toolkit/bound_window_win.h"

#include "toolkit/dpi_win.h"

namespace halcyra {

void BoundWindow::CreateBinder() {
  binder_ = std::make_unique<ControlBinder>(Handle(), WindowDpi(Handle()));
}

void BoundWindow::Run(const std::function<void()>& handler) {
  handler();
  Sync();
}

void BoundWindow::FitToTexts() {
  StretchClient(binder_->FitTexts(), binder_->Dpi(), true);
  // A caption grown later widens the window from where it is.
  binder_->OnStretched([this] { StretchClient(binder_->Stretch(), binder_->Dpi(), false); });
}

HWND BoundWindow::FirstFocus() const { return GetNextDlgTabItem(Handle(), nullptr, FALSE); }

void BoundWindow::RestoreFocus() {
  HWND target = lastFocus_;
  if (!target || !IsChild(Handle(), target) || !IsWindowVisible(target) || !IsWindowEnabled(target))
    target = FirstFocus();
  if (target) SetFocus(target);
}

LRESULT BoundWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
      } else if (!HIWORD(wParam)) {
        RestoreFocus();
      }
      return 0;
    case WM_SETFOCUS:
      // The frame itself takes no keys: a control does.
      RestoreFocus();
      return 0;
    case WM_SHOWWINDOW:
      // Focus rectangles and underlined access keys show when the window was opened from
      // the keyboard, and from the first key on (the dialog manager clears the flags then).
      if (wParam)
        SendMessageW(Handle(), WM_CHANGEUISTATE,
                     MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
      return Window::OnMessage(msg, wParam, lParam);
    case WM_COMMAND:
      // A window may make its controls only when first shown; until then no control speaks.
      if (binder_ &&
          binder_->HandleCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
        Sync();
      return 0;
    case WM_NOTIFY:
      if (binder_ && binder_->HandleNotify(reinterpret_cast<const NMHDR*>(lParam))) Sync();
      return 0;
    case WM_HSCROLL:
      if (binder_ && binder_->HandleScroll(reinterpret_cast<HWND>(lParam)))
        Run([this] { TrackBarMoved(); });
      return 0;
    case WM_CLOSE:
      CloseClicked();
      return 0;
    case WM_DPICHANGED: {
      // The system suggests where the frame goes; its size follows from the client area, so
      // that the controls fit whatever the frame's own metrics do at this DPI.
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      FitFrameToDpi(HIWORD(wParam), {suggested->left, suggested->top});
      // A window that is still being made has no controls yet; they come at its DPI.
      if (!binder_) return 0;
      binder_->SetDpi(HIWORD(wParam));
      StretchClient(binder_->Stretch(), HIWORD(wParam), false);
      DpiChanged();
      return 0;
    }
    default:
      return Window::OnMessage(msg, wParam, lParam);
  }
}

}  // namespace halcyra
