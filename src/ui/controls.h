// The state of a window's controls, kept by its logic class and mirrored by its view. A check
// box set from code behaves like a user's click whenever its state changes: its click handler
// runs. Settings windows rely on this when they load.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace halcyra {

struct Control {
  bool enabled = true;
};

struct Label : Control {
  std::string caption;
};

struct Button : Control {
  std::string caption;
};

struct Edit : Control {
  std::string text;
  // Asks the view to select the whole text once.
  bool selectAllRequested = false;
};

class CheckBox : public Control {
 public:
  std::string caption;
  std::function<void()> onClick;

  bool Checked() const { return checked_; }
  // From code: runs the click handler only when the state changes.
  void SetChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    if (onClick) onClick();
  }
  // The user's click: toggles the box and runs the click handler.
  void Click() { SetChecked(!checked_); }

 private:
  bool checked_ = false;
};

struct TrackBar : Control {
  int minimum = 0;
  int maximum = 255;
  int position = 0;
  int lineSize = 1;
  int pageSize = 2;
};

struct CheckListItem {
  std::string caption;
  bool checked = false;
};

struct CheckList : Control {
  std::vector<CheckListItem> items;
};

}  // namespace halcyra
