// Identifiers of the program's resources, shared by the resource script and the code.
#pragma once

#define IDI_APPLICATION_ICON 1
// The notification icon for a light taskbar: the glyph, dark.
#define IDI_TRAY_DARK 2
