// An icon of the program's resources at the size a place draws it, for the title bar and the
// notification area.
#pragma once

#include <windows.h>

#include "platform/win32/handle_win.h"

namespace halcyra {

// The icon's own image of that size when the icon has one, loaded by user32 alone; otherwise a
// larger image scaled down, which only the common controls' library does. That library costs
// a program that mostly waits in the notification area more memory than all else it holds, so
// at the usual DPIs, whose sizes every icon of ours holds, it is not loaded for an icon.
UniqueIcon LoadSizedIcon(int id, int width, int height);

}  // namespace halcyra
