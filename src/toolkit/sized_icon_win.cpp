#include "toolkit/sized_icon_win.h"

#include <commctrl.h>

#include <cstring>

namespace halcyra {
namespace {

// The icon group's directory lists each image's width and height (0 for 256) in an entry of
// 14 bytes after a header of 6.
bool HasImageOfSize(HMODULE module, int id, int width, int height) {
  const HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
  if (!group) return false;
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
  const DWORD size = SizeofResource(module, group);
  constexpr DWORD kHeader = 6, kEntry = 14;
  if (!data || size < kHeader) return false;
  WORD count = 0;
  std::memcpy(&count, data + 4, sizeof count);
  for (DWORD i = 0; i < count && kHeader + kEntry * (i + 1) <= size; ++i) {
    const BYTE* entry = data + kHeader + kEntry * i;
    if ((entry[0] ? entry[0] : 256) == width && (entry[1] ? entry[1] : 256) == height) return true;
  }
  return false;
}

}  // namespace

UniqueIcon LoadSizedIcon(int id, int width, int height) {
  const HMODULE module = GetModuleHandleW(nullptr);
  if (HasImageOfSize(module, id, width, height))
    return UniqueIcon(static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
  HICON icon = nullptr;
  if (FAILED(LoadIconWithScaleDown(module, MAKEINTRESOURCEW(id), width, height, &icon)))
    return UniqueIcon();
  return UniqueIcon(icon);
}

}  // namespace halcyra
