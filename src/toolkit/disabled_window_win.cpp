#include "toolkit/disabled_window_win.h"

#include <iterator>
#include <string_view>
#include <utility>

#include "toolkit/window_win.h"

namespace halcyra {
namespace {

constexpr const wchar_t* kHolders = L"Halcyra.DisabledHolders";

INT_PTR Holders(HWND window) { return reinterpret_cast<INT_PTR>(GetPropW(window, kHolders)); }

void SetHolders(HWND window, INT_PTR holders) {
  if (holders > 0)
    SetPropW(window, kHolders, reinterpret_cast<HANDLE>(holders));
  else
    RemovePropW(window, kHolders);
}

bool IsSystemDialog(HWND window) {
  wchar_t name[16] = {};
  return GetClassNameW(window, name, static_cast<int>(std::size(name))) > 0 &&
         std::wstring_view(name) == L"#32770";
}

}  // namespace

DisabledWindow::DisabledWindow(HWND window) : window_(IsWindow(window) ? window : nullptr) {
  if (!window_) return;
  SetHolders(window_, Holders(window_) + 1);
  EnableWindow(window_, FALSE);
}

DisabledWindow::DisabledWindow(DisabledWindow&& other) noexcept
    : window_(std::exchange(other.window_, nullptr)) {}

DisabledWindow::~DisabledWindow() {
  // A window destroyed meanwhile took its count with it.
  if (!window_ || !IsWindow(window_)) return;
  const INT_PTR left = Holders(window_) - 1;
  SetHolders(window_, left);
  EnableWindow(window_, left > 0 ? FALSE : TRUE);
}

void DisabledWindow::KeepHeld(HWND window) {
  if (window && IsWindow(window) && Holders(window) > 0) EnableWindow(window, FALSE);
}

std::vector<DisabledWindow> DisableOtherProgramWindows(HWND except) {
  struct Search {
    HWND except;
    std::vector<HWND> found;
  } search{except, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        if (window != s.except && (Window::FromHandle(window) || IsSystemDialog(window)))
          s.found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  std::vector<DisabledWindow> held;
  held.reserve(search.found.size());
  for (HWND window : search.found) held.emplace_back(window);
  return held;
}

}  // namespace halcyra
