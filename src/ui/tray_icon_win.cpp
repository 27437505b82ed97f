#include "ui/tray_icon_win.h"

#include <utility>

#include "platform/win32/utf8_win.h"
#include "res/resource_ids.h"
#include "toolkit/dpi_win.h"
#include "toolkit/sized_icon_win.h"
#include "ui/page_background_win.h"

namespace halcyra {
namespace {

constexpr UINT kIconId = 1;
// The whole record: the icon's version rides in it, and the fourth version is the one that
// tells the program about the keyboard and gives the menu's anchor.
constexpr DWORD kRecordSize = sizeof(NOTIFYICONDATAW);
constexpr UINT kRetryMs = 2000;
constexpr int kRetries = 5;

// Windows 10 and 11 draw a light taskbar where this value is 1; without it the taskbar is dark.
bool TaskbarIsLight() {
  DWORD light = 0, size = sizeof light;
  return RegGetValueW(HKEY_CURRENT_USER,
                      L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                      L"SystemUsesLightTheme", RRF_RT_REG_DWORD, nullptr, &light,
                      &size) == ERROR_SUCCESS &&
         light == 1;
}

}  // namespace

TrayIcon::TrayIcon(HWND window, UINT callbackMessage, UINT_PTR retryTimer)
    : window_(window), callbackMessage_(callbackMessage), retryTimer_(retryTimer) {}

void TrayIcon::Load() {
  // The notification area draws at the primary monitor's DPI, which the user may have changed
  // since the logon that fixed the system's: the small-icon size of that DPI, from the icon's
  // own images. On a light taskbar the dark glyph, except in high contrast, whose colours the
  // application icon keeps to.
  const int dpi = MonitorDpi(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY));
  const int id = TaskbarIsLight() && !HighContrastOn() ? IDI_TRAY_DARK : IDI_APPLICATION_ICON;
  if (UniqueIcon icon =
          LoadSizedIcon(id, SystemMetric(SM_CXSMICON, dpi), SystemMetric(SM_CYSMICON, dpi)))
    icon_ = std::move(icon);
}

void TrayIcon::Show(bool present) {
  KillTimer(window_, retryTimer_);
  retries_ = 0;
  if (!Update(present) && present) SetTimer(window_, retryTimer_, kRetryMs, nullptr);
}

void TrayIcon::RetryTimerFired() {
  // At logon the shell may not take icons yet: a few more tries, then the icon waits for
  // "TaskbarCreated".
  if (Update(true) || ++retries_ >= kRetries) KillTimer(window_, retryTimer_);
}

void TrayIcon::Modify() const {
  NOTIFYICONDATAW data = Record();
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TrayIcon::ShowBalloon(const std::string& title, const std::string& text) const {
  NOTIFYICONDATAW data = Record();
  data.uFlags = NIF_INFO;
  data.dwInfoFlags = NIIF_INFO | NIIF_NOSOUND;
  lstrcpynW(data.szInfoTitle, Wide(title).c_str(), static_cast<int>(std::size(data.szInfoTitle)));
  lstrcpynW(data.szInfo, Wide(text).c_str(), static_cast<int>(std::size(data.szInfo)));
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

NOTIFYICONDATAW TrayIcon::Record() const {
  NOTIFYICONDATAW data{};
  data.cbSize = kRecordSize;
  data.hWnd = window_;
  data.uID = kIconId;
  // From the fourth version on, the shell shows the plain tip only when asked to.
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = icon_ ? icon_.Get()
                     : LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
  lstrcpynW(data.szTip, Wide(tip_).c_str(), static_cast<int>(std::size(data.szTip)));
  return data;
}

bool TrayIcon::Update(bool present) {
  NOTIFYICONDATAW data = Record();
  if (!present) return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
  if (!Shell_NotifyIconW(NIM_ADD, &data)) return false;
  // The version belongs to this one add: a shell that comes back needs it again. One that
  // refuses it talks to the icon the first way, and the menu must still open.
  data.uVersion = NOTIFYICON_VERSION_4;
  version_ = Shell_NotifyIconW(NIM_SETVERSION, &data) ? TrayVersion::kFourth : TrayVersion::kFirst;
  return true;
}

}  // namespace halcyra
