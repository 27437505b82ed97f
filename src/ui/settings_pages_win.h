// The Win32 face of the shared settings pages: their controls, laid out the same in the main
// window and the wizard, and the field messages that reach their handlers.
#pragma once

#include <windows.h>

#include "toolkit/control_binder_win.h"
#include "ui/settings_pages.h"

namespace halcyra {

// The binder group of each shared page in the window that holds them.
struct SettingsPageGroups {
  int general, hotkeys, sound, cleanup, password, log;
};

// Creates the controls of the six shared pages, top being added to every vertical position;
// plain labels take ids from nextLabelId on.
void AddSettingsPageControls(ControlBinder& binder, SettingsPages& pages,
                             const SettingsPageGroups& groups, int top, int& nextLabelId);
// Lets the hotkey and password fields report mouse moves and keys to their window.
void SubclassSettingsFields(HWND window);
// Whether the control is one of the six hotkey fields, which capture every key they can hold.
bool IsHotkeyField(HWND control);
// Runs the handler for a field's message; true when the message was one.
bool HandleSettingsFieldMessage(SettingsPages& pages, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace halcyra
