// The program's icon in the notification area: its record, the add with the icon's fourth
// version, the tip, a balloon, the image at the area's DPI and colours, and the tries again
// while the shell does not take icons yet.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "platform/win32/handle_win.h"
#include "ui/tray_program.h"

namespace halcyra {

class TrayIcon {
 public:
  // `window` gets the icon's callbacks as `callbackMessage` and the timer `retryTimer` of the
  // tries again.
  TrayIcon(HWND window, UINT callbackMessage, UINT_PTR retryTimer);

  // Takes the image for the notification area's DPI and colours of now.
  void Load();
  // Adds or removes the icon; an add the shell refuses (at logon) is tried again on the timer.
  void Show(bool present);
  void RetryTimerFired();
  // Shows the image and the tip on an icon that is shown.
  void Modify() const;
  // The tip, kept for the next add or Modify.
  void SetTip(const std::string& tip) { tip_ = tip; }
  // A notification (a balloon, without sound) from the icon.
  void ShowBalloon(const std::string& title, const std::string& text) const;
  // The callbacks the shell gives: the fourth version's, or the first's when it refused that.
  TrayVersion Version() const { return version_; }

 private:
  NOTIFYICONDATAW Record() const;
  bool Update(bool present);

  HWND window_;
  UINT callbackMessage_;
  UINT_PTR retryTimer_;
  UniqueIcon icon_;
  std::string tip_ = kAppTitle;
  int retries_ = 0;
  // What the shell accepted at the last add.
  TrayVersion version_ = TrayVersion::kFourth;
};

}  // namespace halcyra
