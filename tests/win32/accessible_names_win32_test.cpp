// What a screen reader hears of each window: every input control is named by the static text
// just before it in z-order (shown or not), as the system's accessibility proxy names it, and
// the countdown starts reading with its text.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>
#include <initguid.h>
#include <oleacc.h>

#include <algorithm>

#include "actions/countdown_window_ids.h"
#include "actions/countdown_window_win.h"
#include "one_off/once_window_ids.h"
#include "one_off/once_window_win.h"
#include "platform/portable/portable_text_files.h"
#include "schedule/timer_editor_ids.h"
#include "schedule/timer_editor_win.h"
#include "schedule/timer_page.h"
#include "schedule/timer_page_win.h"
#include "support/layout_check_win.h"
#include "toolkit/control_binder_win.h"
#include "toolkit/dpi_win.h"
#include "ui/main_window_ids.h"
#include "ui/password_prompt_win.h"
#include "ui/settings_pages_win.h"
#include "win32/window_fakes.h"

namespace halcyra {
namespace {

// The name the system's accessibility proxy gives a control.
std::string AccessibleName(HWND control) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_IAccessible,
                                        reinterpret_cast<void**>(&object))))
    return "";
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::string text;
  if (object->get_accName(self, &name) == S_OK && name) {
    for (const wchar_t* c = name; *c; ++c) text += static_cast<char>(*c);
    SysFreeString(name);
  }
  object->Release();
  return text;
}

// The input controls of a window, all pages included, that the static text just before them
// in z-order does not name (a ":" names nothing), as "id 'text before it'".
std::vector<std::string> Unnamed(HWND window) {
  std::vector<std::string> unnamed;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const std::string kind = test::ClassOf(child);
    if (kind != "Edit" && kind != "ComboBox" && kind != TRACKBAR_CLASSA && kind != WC_LISTVIEWA)
      continue;
    const HWND label = GetWindow(child, GW_HWNDPREV);
    const std::string name =
        lstrcmpiA(test::ClassOf(label).c_str(), WC_STATICA) == 0 ? test::TextOf(label) : "";
    if (std::none_of(name.begin(), name.end(), [](char c) { return IsCharAlphaA(c) != FALSE; }))
      unnamed.push_back(std::to_string(GetDlgCtrlID(child)) + " '" + name + "'");
  }
  return unnamed;
}

TEST(AccessibleNames, EveryInputControlHasANameAndTheCountdownReadsItsTextFirst) {
  test::FakePageServices page;
  test::FakeApp& fake = page.fake;
  const AppServices& app = fake.app;

  // The pages of the main window and the wizard.
  const HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 480, 300, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
  test::PageForm pages(page.services);
  ControlBinder binder(parent, WindowDpi(parent));
  int label = 100;
  AddSettingsPageControls(binder, pages, {0, 1, 2, 3, 4, 5}, 0, label);
  AddTimerPageControls(binder, pages, {label, 6, 7, 8, 9, 10});
  EXPECT_EQ(Unnamed(parent), std::vector<std::string>{}) << "pages";
  const HWND volume = GetWindow(GetDlgItem(parent, main_ids::kTckBarVolume), GW_HWNDPREV);
  EXPECT_EQ(test::TextOf(volume), "Volume");
  EXPECT_FALSE(GetWindowLongA(volume, GWL_STYLE) & WS_VISIBLE);
  binder.ShowGroup(2);
  binder.Sync();
  EXPECT_FALSE(GetWindowLongA(volume, GWL_STYLE) & WS_VISIBLE) << "not even with its page";
  DestroyWindow(parent);

  test::NoTimerList list;
  TFrmTimer editor(app, list);
  TimerEditorWindow editorWindow(editor, nullptr);
  EXPECT_EQ(Unnamed(editorWindow.Handle()), std::vector<std::string>{}) << "timer editor";
  EXPECT_EQ(AccessibleName(GetDlgItem(editorWindow.Handle(), timer_ids::kSpinMinute)), "Minute")
      << "the proxy takes the hidden name";

  TFrmPwd prompt(app);
  PasswordPromptWindow promptWindow(prompt, nullptr);
  EXPECT_EQ(Unnamed(promptWindow.Handle()), std::vector<std::string>{}) << "password prompt";

  test::OnceFormOnFakes once(app);
  OnceWindow onceWindow(once.form, nullptr);
  EXPECT_EQ(Unnamed(onceWindow.Handle()), std::vector<std::string>{}) << "one-off action";
  EXPECT_EQ(AccessibleName(GetDlgItem(onceWindow.Handle(), once_ids::kEdtNet)), "network below");

  test::FakeCountdownServices services(fake);
  CountdownWindow countdown(services.form, nullptr);
  EXPECT_EQ(GetDlgCtrlID(GetWindow(countdown.Handle(), GW_CHILD)), countdown_ids::kLblNotify);
}

}  // namespace
}  // namespace halcyra
