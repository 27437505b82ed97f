// Control identifiers of the main window, shared by its view and the end-to-end tests.
#pragma once

namespace halcyra::main_ids {

// Not IDOK and IDCANCEL: Enter and Escape do not press them from every field.
inline constexpr int kOk = 1004;
inline constexpr int kCancel = 1005;
inline constexpr int kHelp = 1003;
inline constexpr int kPageControl = 1001;

inline constexpr int kSpinDuration = 1101;
inline constexpr int kSpinDurationUpDown = 1102;
inline constexpr int kChkSystemTray = 1103;
inline constexpr int kChkNoChangeTime = 1104;
inline constexpr int kChkAbort = 1105;
// The line "Some settings are managed by your organization." of each page that may have one.
inline constexpr int kLblManagedGeneral = 1106;
inline constexpr int kLblManagedHotkeys = 1207;
inline constexpr int kLblManagedTimers = 1305;
inline constexpr int kLblManagedLog = 1704;

inline constexpr int kEdtPowerdown = 1201;  // the six hotkey fields follow in slot order
inline constexpr int kEdtLogoff = 1206;

inline constexpr int kLvwTimer = 1301;
inline constexpr int kBtnAdd = 1302;
inline constexpr int kBtnEdit = 1303;
inline constexpr int kBtnDelete = 1304;

inline constexpr int kChkEnableSound = 1401;
inline constexpr int kEdtSoundPath = 1402;
inline constexpr int kBtnBrowse = 1403;
inline constexpr int kBtnPreview = 1404;
inline constexpr int kChkLoop = 1405;
inline constexpr int kChkSetVolume = 1406;
inline constexpr int kTckBarVolume = 1407;
inline constexpr int kLabel10 = 1408;

inline constexpr int kLvwCleanup = 1501;

inline constexpr int kChkPassword = 1601;
inline constexpr int kEdtPwd = 1602;
inline constexpr int kEdtPwdConfirm = 1603;
inline constexpr int kLabel13 = 1604;
inline constexpr int kLabel14 = 1605;

inline constexpr int kChkEnableLog = 1701;
inline constexpr int kCmdViewLog = 1702;
inline constexpr int kCmdDeleteLog = 1703;

inline constexpr int kLabel17 = 1801;
inline constexpr int kLblWebSite = 1802;
inline constexpr int kLblEmail = 1803;

// The notification icon's callback message and its menu's commands.
inline constexpr unsigned kTrayCallbackMessage = 0x0400 + 1000;  // WM_USER + 1000 = 2024
inline constexpr int kMmuMainWindow = 4001;
inline constexpr int kMnuHide = 4002;
inline constexpr int kMnuHelp = 4003;
inline constexpr int kMnuExit = 4004;
inline constexpr int kMnuOnce = 4005;

// Labels that nothing refers to get ids from here on.
inline constexpr int kFirstPlainLabel = 1900;

}  // namespace halcyra::main_ids
