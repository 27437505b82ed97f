// A small base for the program's windows: the static window procedure keeps `this` from
// WM_NCCREATE on and forwards every message to OnMessage. No exception crosses it: an error
// that no handler catches is shown with its text and the program goes on.
#pragma once

#include <windows.h>

#include <functional>

namespace halcyra {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return hwnd_; }
  // The program's window object of a handle; nullptr for any other window.
  static Window* FromHandle(HWND hwnd);
  // A key pressed in the window, before the dialog manager sees it; true when it was taken.
  virtual bool TranslateKey(const MSG&) { return false; }

 protected:
  // Registers the class once per process.
  static void RegisterClassOnce(const char* className, HICON icon);
  HWND CreateWindowFor(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                       int y, int width, int height, HWND parent);
  // Creates a fixed frame around a client area of that many 96-dpi pixels at the DPI of its
  // monitor, centred on the area given (the work area of the monitor that holds the mouse
  // pointer when it is empty) and kept on that monitor's work area.
  HWND CreateCentered(DWORD exStyle, const char* className, const char* title, DWORD style,
                      int clientWidth, int clientHeight, HWND parent, RECT area = {});
  // The window moved to a monitor of another DPI: the frame of its client area at that DPI,
  // with its top-left corner where the system suggests.
  void FitFrameToDpi(int dpi, POINT topLeft);
  // The client area that much wider than designed at `dpi` (its controls' captions need it),
  // the top-left corner kept or the centre.
  void StretchClient(double stretch, int dpi, bool keepCentre);
  // Centres the window on the work area of that monitor unless it is on it already.
  void MoveToMonitor(HMONITOR monitor);
  virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // Destroys the window while the fonts and icons its controls use still exist: a derived
  // class's destructor calls it before its members go.
  void DestroyNow();

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
  SIZE client_{};  // in 96-dpi pixels
  int designWidth_ = 0;
};

// Runs a modal loop for a dialog until closed() says so: the owner takes no input meanwhile
// and gets it back, and the activation, before the dialog is hidden, unless another holder
// (the countdown) still keeps it disabled. A request to end the
// program is passed on to the outer loop.
void RunModal(HWND dialog, HWND owner, const std::function<bool()>& closed);

// What a modal or the program's loop does with a message for a dialog-like window: its own
// keys first, then the dialog manager's Tab, arrows and mnemonics. True when it was handled.
bool HandleDialogMessage(HWND window, MSG& msg);

// The program's general error handler: the error's text in a box with the program's title
// and the error icon.
void ReportUncaughtError(HWND owner, const char* text);

}  // namespace halcyra
