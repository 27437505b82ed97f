#include "actions/countdown_window_win.h"

#include <algorithm>

#include "actions/countdown_window_ids.h"
#include "actions/event_words.h"
#include "toolkit/dpi_win.h"
#include "toolkit/text_width_win.h"

namespace halcyra {
namespace {

constexpr const char* kClass = "TFrmNotify";
constexpr int kClientWidth = 357;
constexpr int kClientHeight = 98;
constexpr Place kLabelPlace{0, 32, 353, 25};
constexpr Place kAbortPlace{136, 64, 80, 27};
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;

}  // namespace

CountdownWindow::CountdownWindow(TFrmNotify& form, HWND programWindow)
    : BoundWindow(programWindow), form_(form) {
  RegisterClassOnce(kClass, nullptr);
  // The desktop as parent: a top-level window of its own, above all non-topmost windows. It
  // opens where the user works: on the monitor of the window in the foreground.
  CreateCentered(kExStyle, kClass, kAppTitle, kStyle, kClientWidth, kClientHeight,
                 GetDesktopWindow(), WorkArea(ForegroundMonitor()));
  CreateBinder();
  label_ = binder_->AddLabel(form_.LblNotify, countdown_ids::kLblNotify, kLabelPlace, SS_CENTER);
  abort_ = binder_->AddButton(form_.BtnAbort, countdown_ids::kBtnAbort, kAbortPlace);
  binder_->OnClick(countdown_ids::kBtnAbort, [this] { form_.BtnAbortClick(); });
  SetLabelFont();
  FitLongestText(true);
  held_ = DisableOtherProgramWindows(Handle());
  Sync();
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
}

void CountdownWindow::DpiChanged() {
  SetLabelFont();
  // The frame stays where Windows put it for the new monitor.
  FitLongestText(false);
}

void CountdownWindow::SetLabelFont() {
  labelFont_.Reset(CreateFontW(-binder_->Scale(16), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH, L"Microsoft Sans Serif"));
  SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.Get()), TRUE);
}

void CountdownWindow::FitLongestText(bool centred) {
  // The longest text the label can show: a day's count, for each action's verb (any other word
  // takes the verb of "Suspend"), in the label's font at this DPI.
  int widest = 0;
  for (const EventWordMeaning& meaning : kEventWords)
    widest = std::max(widest, TextWidth(label_, labelFont_.Get(),
                                        CountdownText(meaning.word, kLongestCountdown)));
  // A static control wraps a text that does not fit, and the label has room for one line.
  const int grow = widest + binder_->Scale(2) - binder_->Scale(kLabelPlace.width);
  if (grow <= 0) return;
  RECT frame;
  GetWindowRect(Handle(), &frame);
  const int width = frame.right - frame.left + grow;
  int left = frame.left;
  if (centred) {
    // Centred as before, and still on the work area.
    const RECT work = WorkArea(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST));
    left = CentredOrigin(ToBox(frame), width, frame.bottom - frame.top, ToBox(work)).x;
  }
  SetWindowPos(Handle(), nullptr, left, frame.top, width, frame.bottom - frame.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(label_, nullptr, 0, 0, binder_->Scale(kLabelPlace.width) + grow,
               binder_->Scale(kLabelPlace.height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The button stays in the middle.
  SetWindowPos(abort_, nullptr, binder_->Scale(kAbortPlace.x) + grow / 2,
               binder_->Scale(kAbortPlace.y), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CountdownWindow::~CountdownWindow() {
  // Let go first, so that Windows activates the program's window rather than another
  // program's when this one goes.
  held_.clear();
  DestroyNow();
}

}  // namespace halcyra
