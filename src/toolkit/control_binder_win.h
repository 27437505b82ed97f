// Creates the real controls of a window for the state objects of its logic class, mirrors
// their state onto the controls after every handler, and turns the controls' notifications
// into state changes and handler calls. Every window of the program uses one.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/handle_win.h"
#include "toolkit/controls.h"
#include "toolkit/layout.h"

namespace halcyra {

class ControlBinder {
 public:
  // The controls are placed and written for `dpi`, the DPI of the parent's monitor; places are
  // given in 96-dpi pixels.
  ControlBinder(HWND parent, int dpi);
  // The bindings' closures hold this binder.
  ControlBinder(const ControlBinder&) = delete;
  ControlBinder& operator=(const ControlBinder&) = delete;
  int Dpi() const { return dpi_; }
  int Scale(int length) const { return ScaleToDpi(length, dpi_); }
  // How much wider than designed the controls are, so that the longest caption fits: 1 for
  // the English, more for a language that says it at length.
  double Stretch() const { return stretch_; }
  // Measures every caption at this DPI and widens the whole layout as much as the one that
  // needs it most, placing every control anew; the window widens its client area as much.
  // Widening the whole keeps the design's rows, columns and gaps.
  // Once asked, the binder fits again at every new DPI and whenever a caption grows beyond the
  // room it has; `stretched` then tells the window, which widens its client area as much.
  double FitTexts();
  void OnStretched(std::function<void()> stretched) { stretched_ = std::move(stretched); }
  HFONT Font() const { return font_.Get(); }
  // The parent moved to a monitor of another DPI: every control is placed, sized and written
  // anew for it.
  void SetDpi(int dpi);

  // Controls of a group are shown only while that group is shown; others always.
  void SetGroup(std::optional<int> group) { group_ = group; }
  void ShowGroup(int group) { shownGroup_ = group; }

  HWND AddLabel(Label& label, int id, Place place, DWORD alignment = SS_LEFT);
  HWND AddButton(Button& button, int id, Place place, bool isDefault = false);
  HWND AddCheckBox(CheckBox& box, int id, Place place);
  HWND AddRadioButton(RadioButton& radio, int id, Place place, bool firstOfGroup);
  HWND AddEdit(Edit& edit, int id, Place place, DWORD style = 0);
  // An edit with an up-down buddy; with no range the numbers are not bounded.
  HWND AddSpinEdit(Edit& edit, int id, Place place, std::optional<std::pair<int, int>> range);
  // A list of the program's own words is as wide as its longest item; one of the user's data
  // (programs, titles) keeps its place and lets a long item be cut.
  enum class Items { Words, Data };
  HWND AddComboBox(ComboBox& combo, int id, Place place, Items items = Items::Words);
  HWND AddTrackBar(TrackBar& bar, int id, Place place);
  HWND AddCheckList(CheckList& list, int id, Place place);
  // The columns take the widths their captions and cells need within the list, again whenever
  // its rows change.
  HWND AddReportList(ListView& list, int id, Place place, const std::vector<std::string>& columns);
  // The name a screen reader gives the control added next, where no label before it names it:
  // the system takes the static text just before a control in z-order, shown or not, so this
  // one stays hidden and is never part of a group.
  void AddAccessibleName(const std::string& name);
  // A control whose state the logic does not hold; only shown and hidden with its group.
  HWND AddPlain(const wchar_t* className, DWORD style, int id, Place place, DWORD exStyle = 0);

  // Handlers run after the binder has copied the control's change into its state.
  void OnClick(int id, std::function<void()> handler) {
    clicks_.push_back({id, std::move(handler)});
  }
  void OnFocus(int id, std::function<void()> handler) {
    focuses_.push_back({id, std::move(handler)});
  }
  void OnBlur(int id, std::function<void()> handler) { blurs_.push_back({id, std::move(handler)}); }
  void OnDoubleClick(int id, std::function<void()> handler) {
    doubleClicks_.push_back({id, std::move(handler)});
  }

  // True when the message concerned a bound control; the window then calls Sync().
  bool HandleCommand(int id, int code, HWND control);
  bool HandleNotify(const NMHDR* header);
  bool HandleScroll(HWND control);

  void Sync();
  // Gives the keyboard focus to the control of that state object.
  void Focus(const Control* state);

 private:
  // What a control does: each closure knows its control's state object by its own type.
  struct Behaviour {
    // Mirrors the state onto the control.
    std::function<void(HWND)> sync = {};
    // A WM_COMMAND notification; true when it changed the state or ran a handler.
    std::function<bool(HWND, int code)> command = {};
    std::function<bool(HWND, const NMHDR&)> notify = {};
    std::function<void(HWND)> scroll = {};
    // Sets what depends on the control's size, once every control has its place at a DPI.
    std::function<void(HWND)> placed = {};
  };
  struct Binding {
    HWND hwnd;
    int id;
    std::optional<int> group;
    Place place;
    const Control* state;  // nullptr for a control the logic does not hold
    Behaviour behaviour;
    int dropDown = 0;        // a combo box's list below its visible place
    bool fitsItems = false;  // a combo box as wide as its longest item
  };
  struct Radio {
    HWND hwnd;
    const RadioButton* state;
  };
  struct Handler {
    int id;
    std::function<void()> run;
  };

  HWND Create(const Control* state, Behaviour behaviour, const wchar_t* className, DWORD style,
              int id, Place place, DWORD exStyle = 0);
  const Binding* Find(int id, HWND hwnd) const;
  void FitLabel(HWND hwnd, const Place& place, DWORD alignment) const;
  // A place of the design at this DPI and stretch.
  Place At(const Place& place) const;
  void PlaceAll();
  // The stretch that a control's caption needs, 1 when it fits its place as designed.
  double StretchNeeded(const Binding& binding) const;
  double StretchNeeded() const;
  static void Run(const std::vector<Handler>& handlers, int id);
  void SyncReport(HWND hwnd, const ListView& list) const;
  // Only the checked radio button of a group is a tab stop (the first while none is checked):
  // Tab then leaves the group instead of walking it, which on Windows would click each one.
  void SyncRadioTabStops();
  void FitReportColumns(HWND hwnd, const ListView& list, std::size_t columnCount) const;

  HWND parent_;
  int dpi_;
  double stretch_ = 1.0;
  bool fitsTexts_ = false;
  std::function<void()> stretched_;
  UniqueGdiObject<HFONT> font_;
  std::optional<int> group_;
  int shownGroup_ = 0;
  std::vector<Binding> bindings_;
  std::vector<std::vector<Radio>> radioGroups_;
  std::vector<Handler> clicks_, focuses_, blurs_, doubleClicks_;
  bool syncing_ = false;
};

std::string WindowTextOf(HWND hwnd);

}  // namespace halcyra
