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
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 100;

}  // namespace

CountdownWindow::CountdownWindow(const CountdownServices& services, const std::string& pendingEvent,
                                 HWND programWindow)
    : BoundWindow(programWindow), form_(services, *this, pendingEvent) {
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

CountdownWindow::~CountdownWindow() { DestroyNow(); }

void CountdownWindow::Dispatch(MSG& msg) {
  if (msg.message == WM_QUIT) {
    // The end of the program was asked for: keep it for the outer loop.
    quitSeen_ = true;
    quitCode_ = static_cast<int>(msg.wParam);
    return;
  }
  if (Handle() && IsDialogMessageW(Handle(), &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

CountdownOutcome CountdownWindow::ShowModal() {
  EnableWindow(owner_, FALSE);
  form_.FormCreate();
  Sync();
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
  SetTimer(Handle(), kTimer1, kTimer1Interval, nullptr);
  MSG msg;
  while (!closeRequested_ && !quitSeen_ && GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
  KillTimer(Handle(), kTimer1);
  form_.FormClose();
  EnableWindow(owner_, TRUE);
  ShowWindow(Handle(), SW_HIDE);
  if (quitSeen_) PostQuitMessage(quitCode_);
  return form_.Outcome;
}

void CountdownWindow::ProcessMessages(int maxWaitMs) {
  MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(maxWaitMs), QS_ALLINPUT,
                              MWMO_INPUTAVAILABLE);
  MSG msg;
  while (!quitSeen_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) Dispatch(msg);
  Sync();
}

void CountdownWindow::HideWindow() { ShowWindow(Handle(), SW_HIDE); }

void CountdownWindow::RequestClose() { closeRequested_ = true; }

LRESULT CountdownWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_TIMER:
      if (wParam == kTimer1 && form_.Timer1Enabled) {
        KillTimer(Handle(), kTimer1);
        form_.Timer1Timer();
        Sync();
      }
      return 0;
    default:
      return BoundWindow::OnMessage(msg, wParam, lParam);
  }
}

}  // namespace halcyra
