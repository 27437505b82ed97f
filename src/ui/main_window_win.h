// The main window "TFrmMain" titled "Halcyra": the Win32 face of TFrmMain. It creates the
// real controls, forwards their events to the logic and mirrors the logic's state back onto
// them after every handler. It is owned by the application's hidden window, which carries the
// tool-window style so that the program has no taskbar button.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "ui/main_form.h"
#include "ui/window_win.h"

namespace halcyra {

inline constexpr const char* kMainWindowClass = "TFrmMain";
inline constexpr const char* kShowMainWindowMessageName = "QMV_ShowHCYMainWindow";

class ApplicationWindow final : public Window {
 public:
  ApplicationWindow();
};

class MainWindow final : public Window, private MainFormHost {
 public:
  MainWindow(const MainFormServices& services, HWND owner);

  // Makes the window visible and brings it to the front.
  void ShowInFront();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // kPlain: a control whose state the logic does not hold; it is only shown with its page.
  enum class Kind { kPlain, kLabel, kButton, kCheckBox, kEdit, kTrackBar, kCheckList };
  struct Binding {
    HWND hwnd;
    int id;
    std::optional<MainPage> page;  // none: below the pages, always shown
    Kind kind;
    Control* state;
  };

  void HideWindow() override;
  void ShowMainWindowGuarded();
  void CreateControls();
  HWND Add(std::optional<MainPage> page, Kind kind, Control* state, const char* className, DWORD style, int id,
           int x, int y, int width, int height, DWORD exStyle = 0);
  void AddLabel(MainPage page, Label& label, int x, int y, int width, int height, int id = 0);
  void AddButton(std::optional<MainPage> page, Button& button, int id, int x, int y, int width, int height);
  void AddCheckBox(MainPage page, CheckBox& box, int id, int x, int y, int width);
  void AddEdit(MainPage page, Edit& edit, int id, int x, int y, int width, DWORD style);
  void Sync();
  void OnCommand(int id, int code, HWND control);
  LRESULT OnNotify(NMHDR* header);
  const Binding* Find(int id) const;
  // Runs a handler of the logic and mirrors the state it leaves.
  void Run(const std::function<void()>& handler);

  TFrmMain form_;
  UINT showMainWindowMsg_ = 0;
  HFONT font_ = nullptr;
  HWND pageControl_ = nullptr;
  std::vector<Binding> bindings_;
  int nextLabelId_;
  bool syncing_ = false;
};

}  // namespace halcyra
