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
  // The most characters the user can type; 0 for no limit.
  std::size_t maxLength = 0;
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

// A drop-down list: its items and the chosen index (-1 for none).
struct ComboBox : Control {
  std::vector<std::string> items;
  int index = -1;
  std::string Text() const {
    return index >= 0 && index < static_cast<int>(items.size())
               ? items[static_cast<std::size_t>(index)]
               : std::string();
  }
};

// A radio button of a group: checking one unchecks the others. Set from code, its click
// handler runs when it becomes checked, as a user's click does.
class RadioButton : public Control {
 public:
  std::string caption;
  std::function<void()> onClick;
  std::vector<RadioButton*> group;

  bool Checked() const { return checked_; }
  void Check() {
    if (checked_) return;
    for (RadioButton* other : group)
      if (other != this) other->checked_ = false;
    checked_ = true;
    if (onClick) onClick();
  }

 private:
  bool checked_ = false;
};

// A row of a report list: its caption and the texts of the further columns.
struct ListRow {
  std::string caption;
  std::vector<std::string> subItems;
  bool selected = false;
};

struct ListView : Control {
  std::vector<ListRow> rows;
  int SelectedIndex() const {
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (rows[i].selected) return static_cast<int>(i);
    return -1;
  }
  void RemoveSelectedRow() {
    const int selected = SelectedIndex();
    if (selected >= 0) rows.erase(rows.begin() + selected);
  }
};

}  // namespace halcyra
