#include "ui/settings_pages_win.h"

#include <commctrl.h>

#include "lang/texts.h"
#include "ui/main_window_ids.h"

namespace halcyra {
namespace {

namespace ids = main_ids;

constexpr UINT_PTR kFieldSubclass = 1;
// What a screen reader calls the volume slider, which has no label of its own.
constexpr Text kVolumeName = "Volume";
constexpr UINT kFieldMouseMove = WM_APP;
constexpr UINT kFieldKeyDown = WM_APP + 1;
constexpr UINT kFieldKeyUp = WM_APP + 2;

bool IsHotkeyField(WPARAM id) { return id >= ids::kEdtPowerdown && id <= ids::kEdtLogoff; }

// Mouse moves over the hotkey and password fields, and keys pressed and released in the
// hotkey fields, reach the window with the field's id. The keys are not swallowed.
LRESULT CALLBACK FieldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  const WPARAM id = static_cast<WPARAM>(GetDlgCtrlID(hwnd));
  if (msg == WM_GETDLGCODE && IsHotkeyField(id) && lParam) {
    // Enter and Escape are keys to capture here, not the dialog's OK and Cancel; Tab still
    // moves on.
    const auto* key = reinterpret_cast<const MSG*>(lParam);
    if (key->message == WM_KEYDOWN && (key->wParam == VK_RETURN || key->wParam == VK_ESCAPE))
      return DefSubclassProc(hwnd, msg, wParam, lParam) | DLGC_WANTMESSAGE;
  }
  if (msg == WM_MOUSEMOVE) {
    SendMessageW(GetParent(hwnd), kFieldMouseMove, id, 0);
  } else if (IsHotkeyField(id) && (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN)) {
    SendMessageW(GetParent(hwnd), kFieldKeyDown, id, static_cast<LPARAM>(wParam));
  } else if (IsHotkeyField(id) && (msg == WM_KEYUP || msg == WM_SYSKEYUP)) {
    SendMessageW(GetParent(hwnd), kFieldKeyUp, id, static_cast<LPARAM>(wParam));
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

bool KeyHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

}  // namespace

void AddSettingsPageControls(ControlBinder& b, SettingsPages& f, const SettingsPageGroups& groups,
                             int top, int& label) {
  const auto at = [top](int x, int y, int width, int height) {
    return Place{x, y + top, width, height};
  };
  b.SetGroup(groups.general);
  b.AddLabel(f.Label21, label++, at(20, 42, 415, 30));
  b.AddLabel(f.Label22, label++, at(20, 86, 170, 16));
  b.AddSpinEdit(f.SpinDuration, ids::kSpinDuration, at(195, 83, 70, 21), std::nullopt);
  b.AddCheckBox(f.ChkSystemTray, ids::kChkSystemTray, at(20, 118, 400, 20));
  b.AddCheckBox(f.ChkNoChangeTime, ids::kChkNoChangeTime, at(20, 142, 400, 20));
  b.AddCheckBox(f.ChkAbort, ids::kChkAbort, at(20, 166, 400, 20));
  b.AddLabel(f.LblManagedGeneral, ids::kLblManagedGeneral, at(20, 196, 415, 16));
  b.OnFocus(ids::kSpinDuration, [&f] { f.SpinDurationEnter(); });

  b.SetGroup(groups.hotkeys);
  b.AddLabel(f.Label1, label++, at(20, 40, 415, 44));
  const auto fields = f.HotkeyFields();
  for (int i = 0; i < 6; ++i) {
    b.AddLabel(f.HotkeyLabels[static_cast<std::size_t>(i)], label++, at(20, 94 + i * 26, 150, 16));
    b.AddEdit(*fields[static_cast<std::size_t>(i)], ids::kEdtPowerdown + i,
              at(180, 91 + i * 26, 200, 21), ES_READONLY);
    const auto slot = static_cast<std::size_t>(i);
    b.OnFocus(ids::kEdtPowerdown + i, [&f, slot] { f.HotkeyFieldEnter(slot); });
    b.OnBlur(ids::kEdtPowerdown + i, [&f, slot] { f.HotkeyFieldExit(slot); });
  }
  b.AddLabel(f.LblManagedHotkeys, ids::kLblManagedHotkeys, at(20, 244, 415, 14));

  b.SetGroup(groups.sound);
  b.AddLabel(f.Label9, label++, at(20, 40, 415, 16));
  b.AddCheckBox(f.ChkEnableSound, ids::kChkEnableSound, at(20, 62, 300, 20));
  b.AddLabel(f.Label10, ids::kLabel10, at(20, 95, 60, 16));
  b.AddEdit(f.EdtSoundPath, ids::kEdtSoundPath, at(85, 92, 190, 21), ES_READONLY);
  b.AddButton(f.BtnBrowse, ids::kBtnBrowse, at(280, 91, 75, 23));
  b.AddButton(f.BtnPreview, ids::kBtnPreview, at(360, 91, 75, 23));
  b.AddCheckBox(f.ChkLoop, ids::kChkLoop, at(20, 124, 200, 20));
  b.AddCheckBox(f.ChkSetVolume, ids::kChkSetVolume, at(20, 150, 200, 20));
  b.AddAccessibleName(Tr(kVolumeName));
  b.AddTrackBar(f.TckBarVolume, ids::kTckBarVolume, at(20, 176, 300, 30));
  b.OnClick(ids::kBtnBrowse, [&f] { f.BtnBrowseClick(); });
  b.OnClick(ids::kBtnPreview, [&f] { f.BtnPreviewClick(); });

  b.SetGroup(groups.cleanup);
  b.AddLabel(f.Label11, label++, at(20, 40, 415, 44));
  b.AddCheckList(f.LvwCleanup, ids::kLvwCleanup, at(20, 88, 415, 164));

  b.SetGroup(groups.password);
  b.AddLabel(f.Label12, label++, at(20, 40, 415, 30));
  b.AddCheckBox(f.ChkPassword, ids::kChkPassword, at(20, 76, 300, 20));
  b.AddLabel(f.Label13, ids::kLabel13, at(20, 111, 150, 16));
  b.AddEdit(f.EdtPwd, ids::kEdtPwd, at(180, 108, 200, 21), ES_PASSWORD);
  b.AddLabel(f.Label14, ids::kLabel14, at(20, 141, 150, 16));
  b.AddEdit(f.EdtPwdConfirm, ids::kEdtPwdConfirm, at(180, 138, 200, 21), ES_PASSWORD);

  b.SetGroup(groups.log);
  b.AddLabel(f.Label16, label++, at(20, 40, 415, 16));
  b.AddCheckBox(f.ChkEnableLog, ids::kChkEnableLog, at(20, 64, 300, 20));
  b.AddButton(f.CmdViewLog, ids::kCmdViewLog, at(20, 98, 110, 25));
  b.AddButton(f.CmdDeleteLog, ids::kCmdDeleteLog, at(140, 98, 110, 25));
  b.AddLabel(f.LblManagedLog, ids::kLblManagedLog, at(20, 134, 415, 16));
  b.OnClick(ids::kCmdViewLog, [&f] { f.CmdViewLogClick(); });
  b.OnClick(ids::kCmdDeleteLog, [&f] { f.CmdDeleteLogClick(); });
}

void SubclassSettingsFields(HWND window) {
  for (int id :
       {ids::kEdtPowerdown, ids::kEdtPowerdown + 1, ids::kEdtPowerdown + 2, ids::kEdtPowerdown + 3,
        ids::kEdtPowerdown + 4, ids::kEdtLogoff, ids::kEdtPwd, ids::kEdtPwdConfirm})
    SetWindowSubclass(GetDlgItem(window, id), &FieldProc, kFieldSubclass, 0);
}

bool IsHotkeyField(HWND control) {
  return IsHotkeyField(static_cast<WPARAM>(GetDlgCtrlID(control)));
}

bool HandleSettingsFieldMessage(SettingsPages& f, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kFieldKeyDown || msg == kFieldKeyUp) {
    const std::size_t slot = static_cast<std::size_t>(wParam) - ids::kEdtPowerdown;
    const auto key = static_cast<std::uint16_t>(lParam);
    if (msg == kFieldKeyDown)
      f.HotkeyKeyDown(slot, key, {KeyHeld(VK_SHIFT), KeyHeld(VK_CONTROL), KeyHeld(VK_MENU)});
    else
      f.HotkeyKeyUp(slot, key);
    return true;
  }
  if (msg != kFieldMouseMove) return false;
  switch (static_cast<int>(wParam)) {
    case ids::kEdtPowerdown:
      f.EdtPowerdownMouseMove();
      break;
    case ids::kEdtPowerdown + 1:
      f.EdtShutdownMouseMove();
      break;
    case ids::kEdtPowerdown + 2:
      f.EdtRebootMouseMove();
      break;
    case ids::kEdtPowerdown + 3:
      f.EdtHibernateMouseMove();
      break;
    case ids::kEdtPowerdown + 4:
      f.EdtSuspendMouseMove();
      break;
    case ids::kEdtLogoff:
      f.EdtLogoffMouseMove();
      break;
    case ids::kEdtPwd:
      f.EdtPwdMouseMove();
      break;
    case ids::kEdtPwdConfirm:
      f.EdtPwdConfirmMouseMove();
      break;
    default:
      break;
  }
  return true;
}

}  // namespace halcyra
