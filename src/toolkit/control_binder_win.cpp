#include "toolkit/control_binder_win.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>

#include "platform/win32/utf8_win.h"
#include "toolkit/column_widths.h"
#include "toolkit/dpi_win.h"
#include "toolkit/text_width_win.h"

namespace halcyra {
namespace {

int StringWidth(HWND list, const std::wstring& text) {
  return static_cast<int>(
      SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void SetText(HWND hwnd, const std::string& text) { SetWindowTextW(hwnd, Wide(text).c_str()); }

bool SetTextIfChanged(HWND hwnd, const std::string& text) {
  if (WindowTextOf(hwnd) == text) return false;
  SetText(hwnd, text);
  return true;
}

void SyncCheck(HWND hwnd, bool checked) {
  const WPARAM check = checked ? BST_CHECKED : BST_UNCHECKED;
  if (static_cast<WPARAM>(SendMessageW(hwnd, BM_GETCHECK, 0, 0)) != check)
    SendMessageW(hwnd, BM_SETCHECK, check, 0);
}

std::string ItemText(HWND list, int item, int subItem) {
  wchar_t buffer[1024] = {};
  LVITEMW lv{};
  lv.iSubItem = subItem;
  lv.pszText = buffer;
  lv.cchTextMax = static_cast<int>(std::size(buffer));
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
  return Utf8(buffer);
}

}  // namespace

std::string WindowTextOf(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return Utf8(text);
}

ControlBinder::ControlBinder(HWND parent, int dpi)
    : parent_(parent), dpi_(dpi), font_(DialogFont(dpi)) {
  // The common controls' classes exist from the first binder on: the library that registers
  // them is loaded here, once a window with controls is made, not at the start.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
}

HWND ControlBinder::Create(const Control* state, Behaviour behaviour, const wchar_t* className,
                           DWORD style, int id, Place place, DWORD exStyle) {
  const Place at = At(place);
  HWND hwnd = CreateWindowExW(exStyle, className, L"", WS_CHILD | style, at.x, at.y, at.width,
                              at.height, parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleW(nullptr), nullptr);
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  bindings_.push_back({hwnd, id, group_, place, state, std::move(behaviour)});
  return hwnd;
}

void ControlBinder::SetDpi(int dpi) {
  dpi_ = dpi;
  UniqueGdiObject<HFONT> font = DialogFont(dpi);
  for (const Binding& b : bindings_)
    SendMessageW(b.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
  // The controls hold the old font until here.
  font_ = std::move(font);
  if (fitsTexts_)
    FitTexts();
  else
    PlaceAll();
}

Place ControlBinder::At(const Place& place) const {
  Place at = ScaleToDpi(place, dpi_);
  const int right = static_cast<int>(std::lround((at.x + at.width) * stretch_));
  at.x = static_cast<int>(std::lround(at.x * stretch_));
  at.width = right - at.x;
  return at;
}

void ControlBinder::PlaceAll() {
  for (const Binding& b : bindings_) {
    const Place at = At(b.place);
    SetWindowPos(b.hwnd, nullptr, at.x, at.y, at.width, at.height + Scale(b.dropDown),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (const Binding& b : bindings_)
    if (b.behaviour.placed) b.behaviour.placed(b.hwnd);
}

double ControlBinder::StretchNeeded(const Binding& b) const {
  if (b.place.width <= 0 || b.place.height <= 0) return 1.0;
  wchar_t name[32] = {};
  GetClassNameW(b.hwnd, name, static_cast<int>(std::size(name)));
  const double designed = Scale(b.place.width);
  if (lstrcmpiW(name, WC_TABCONTROLW) == 0) {
    // Every tab side by side, each with its padding.
    int tabs = Scale(4);
    for (int i = 0; i < TabCtrl_GetItemCount(b.hwnd); ++i) {
      wchar_t caption[128] = {};
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = caption;
      item.cchTextMax = static_cast<int>(std::size(caption));
      TabCtrl_GetItem(b.hwnd, i, &item);
      tabs += TextWidth(b.hwnd, font_.Get(), Utf8(caption)) + Scale(8);
    }
    return std::max(1.0, tabs / designed);
  }
  if (lstrcmpiW(name, WC_COMBOBOXW) == 0) {
    if (!b.fitsItems) return 1.0;
    // The longest item beside the drop-down arrow.
    int widest = 0;
    for (int i = 0; i < static_cast<int>(SendMessageW(b.hwnd, CB_GETCOUNT, 0, 0)); ++i) {
      wchar_t item[256] = {};
      if (SendMessageW(b.hwnd, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(std::size(item)))
        SendMessageW(b.hwnd, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
      widest = std::max(widest, TextWidth(b.hwnd, font_.Get(), Utf8(item)));
    }
    return std::max(1.0, (widest + Scale(17)) / designed);
  }
  const std::string text = WindowTextOf(b.hwnd);
  if (text.empty()) return 1.0;
  const LONG style = GetWindowLongW(b.hwnd, GWL_STYLE);
  const Place at = ScaleToDpi(b.place, dpi_);
  int extra = 0;
  int room = at.width;
  const bool isLabel = lstrcmpiW(name, WC_STATICW) == 0;
  if (isLabel) {
    const LONG type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT) return 1.0;
    // A caption may run on to the next control of its row, short of a gap before it.
    extra = Scale(4);
    int nearest = INT_MAX;
    for (const Binding& other : bindings_)
      if (other.place.x > b.place.x && other.place.y < b.place.y + b.place.height &&
          b.place.y < other.place.y + other.place.height &&
          (!other.group || !b.group || other.group == b.group))
        nearest = std::min(nearest, other.place.x - b.place.x);
    if (nearest != INT_MAX) room = Scale(nearest);
  } else if (lstrcmpiW(name, WC_BUTTONW) == 0) {
    const LONG type = style & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
      extra = Scale(6);  // the button's edges
    else if (type == BS_GROUPBOX)
      extra = Scale(14);  // the frame's corner before the caption
    else
      extra = Scale(17);  // the box or circle and the gap after it
  } else {
    return 1.0;
  }
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(b.hwnd, WM_GETFONT, 0, 0));
  const int width = TextWidth(b.hwnd, font ? font : font_.Get(), text) + extra;
  const bool wraps = isLabel && at.height >= 2 * Scale(13);
  if (!wraps) return std::max(1.0, static_cast<double>(width) / room);
  // A caption of several lines: wider until its lines fit the height.
  for (double stretch = 1.0;; stretch += 0.05) {
    const int wrapWidth = static_cast<int>(at.width * stretch) - extra;
    if (TextHeight(b.hwnd, font ? font : font_.Get(), text, wrapWidth) <= at.height || stretch > 3)
      return stretch;
  }
}

double ControlBinder::StretchNeeded() const {
  // The most a window widens: beyond it a caption wraps or is cut, rather than the window
  // leaving the screen.
  constexpr double kWidest = 3.0;
  double needed = 1.0;
  for (const Binding& b : bindings_) needed = std::max(needed, StretchNeeded(b));
  return std::min(needed, kWidest);
}

double ControlBinder::FitTexts() {
  fitsTexts_ = true;
  stretch_ = StretchNeeded();
  PlaceAll();
  return stretch_;
}

HWND ControlBinder::AddPlain(const wchar_t* className, DWORD style, int id, Place place,
                             DWORD exStyle) {
  // Every control but the later radio buttons of a group starts a group of its own, so the
  // arrow keys move only among the radio buttons.
  return Create(nullptr, {}, className, style | WS_GROUP, id, place, exStyle);
}

void ControlBinder::AddAccessibleName(const std::string& name) {
  CreateWindowExW(0, WC_STATICW, Wide(name).c_str(), WS_CHILD, 0, 0, 0, 0, parent_, nullptr,
                  GetModuleHandleW(nullptr), nullptr);
}

HWND ControlBinder::AddLabel(Label& label, int id, Place place, DWORD alignment) {
  const auto fit = [this, place, alignment](HWND hwnd) { FitLabel(hwnd, place, alignment); };
  Behaviour behaviour{
      .sync =
          [&label, fit](HWND hwnd) {
            if (SetTextIfChanged(hwnd, label.caption)) fit(hwnd);
          },
      .command =
          [this, id](HWND, int code) {
            if (code != STN_CLICKED) return false;
            Run(clicks_, id);
            return true;
          },
      .placed = fit,
  };
  HWND hwnd =
      Create(&label, std::move(behaviour), WC_STATICW, alignment | SS_NOTIFY | WS_GROUP, id, place);
  SetText(hwnd, label.caption);
  fit(hwnd);
  return hwnd;
}

void ControlBinder::FitLabel(HWND hwnd, const Place& place, DWORD alignment) const {
  // A label of one line, left-aligned, is as wide as its caption, as a label that sizes
  // itself is: a font that at this DPI is wider than its place allowed for would otherwise
  // wrap the caption onto a line that is not shown.
  constexpr int kTwoLines = 26;
  if (alignment != SS_LEFT || place.height >= kTwoLines) return;
  const Place at = At(place);
  const int width = std::max(at.width, TextWidth(hwnd, font_.Get(), WindowTextOf(hwnd)));
  SetWindowPos(hwnd, nullptr, 0, 0, width, at.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND ControlBinder::AddButton(Button& button, int id, Place place, bool isDefault) {
  Behaviour behaviour{
      .sync = [&button](HWND hwnd) { SetTextIfChanged(hwnd, button.caption); },
      .command =
          [this, id](HWND, int code) {
            if (code != BN_CLICKED) return false;
            Run(clicks_, id);
            return true;
          },
  };
  HWND hwnd =
      Create(&button, std::move(behaviour), WC_BUTTONW,
             WS_TABSTOP | WS_GROUP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), id, place);
  SetText(hwnd, button.caption);
  return hwnd;
}

HWND ControlBinder::AddCheckBox(CheckBox& box, int id, Place place) {
  Behaviour behaviour{
      .sync = [&box](HWND hwnd) { SyncCheck(hwnd, box.Checked()); },
      .command =
          [&box](HWND, int code) {
            if (code != BN_CLICKED) return false;
            box.Click();
            return true;
          },
  };
  // Not an automatic check box: the logic decides the state, the control only shows it.
  HWND hwnd = Create(&box, std::move(behaviour), WC_BUTTONW, WS_TABSTOP | WS_GROUP | BS_CHECKBOX,
                     id, place);
  SetText(hwnd, box.caption);
  return hwnd;
}

HWND ControlBinder::AddRadioButton(RadioButton& radio, int id, Place place, bool firstOfGroup) {
  Behaviour behaviour{
      .sync = [&radio](HWND hwnd) { SyncCheck(hwnd, radio.Checked()); },
      .command =
          [&radio](HWND, int code) {
            if (code != BN_CLICKED) return false;
            radio.Check();
            return true;
          },
  };
  HWND hwnd = Create(&radio, std::move(behaviour), WC_BUTTONW,
                     BS_RADIOBUTTON | (firstOfGroup ? WS_GROUP : 0), id, place);
  if (firstOfGroup || radioGroups_.empty()) radioGroups_.emplace_back();
  radioGroups_.back().push_back({hwnd, &radio});
  SetText(hwnd, radio.caption);
  return hwnd;
}

HWND ControlBinder::AddEdit(Edit& edit, int id, Place place, DWORD style) {
  Behaviour behaviour{
      .sync =
          [&edit](HWND hwnd) {
            SetTextIfChanged(hwnd, edit.text);
            if (edit.selectAllRequested) {
              SendMessageW(hwnd, EM_SETSEL, 0, -1);
              edit.selectAllRequested = false;
            }
          },
      // Only the notifications that change a state or call a handler count: mirroring the
      // state back after any other one (EN_UPDATE comes before EN_CHANGE) would undo the
      // user's edit.
      .command =
          [this, &edit, id](HWND hwnd, int code) {
            if (code == EN_CHANGE) {
              if (syncing_) return false;
              edit.text = WindowTextOf(hwnd);
            } else if (code == EN_SETFOCUS) {
              Run(focuses_, id);
            } else if (code == EN_KILLFOCUS) {
              Run(blurs_, id);
            } else {
              return false;
            }
            return true;
          },
  };
  HWND hwnd = Create(&edit, std::move(behaviour), WC_EDITW,
                     WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | style, id, place, WS_EX_CLIENTEDGE);
  if (style & ES_PASSWORD) SendMessageW(hwnd, EM_SETPASSWORDCHAR, '*', 0);
  if (edit.maxLength) SendMessageW(hwnd, EM_SETLIMITTEXT, edit.maxLength, 0);
  SetText(hwnd, edit.text);
  return hwnd;
}

HWND ControlBinder::AddSpinEdit(Edit& edit, int id, Place place,
                                std::optional<std::pair<int, int>> range) {
  HWND hwnd = AddEdit(edit, id, place);
  HWND upDown =
      AddPlain(UPDOWN_CLASSW, UDS_SETBUDDYINT | UDS_NOTHOUSANDS | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0,
               {0, 0, 0, 0});
  // The up-down takes its place beside the field, out of the field's width.
  const auto attach = [upDown](HWND field) {
    SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(field), 0);
  };
  attach(hwnd);
  std::prev(bindings_.end(), 2)->behaviour.placed = attach;
  const auto [low, high] = range.value_or(std::make_pair(INT_MIN, INT_MAX));
  SendMessageW(upDown, UDM_SETRANGE32, static_cast<WPARAM>(low), high);
  return hwnd;
}

HWND ControlBinder::AddComboBox(ComboBox& combo, int id, Place place, Items items) {
  Behaviour behaviour{
      // The items as the control holds them: a list the logic fills anew (the programs that
      // run now) is written again.
      .sync =
          [&combo, shown = combo.items](HWND hwnd) mutable {
            if (shown != combo.items) {
              SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
              for (const std::string& item : combo.items)
                SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
              shown = combo.items;
            }
            if (SendMessageW(hwnd, CB_GETCURSEL, 0, 0) != combo.index)
              SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(combo.index), 0);
          },
      .command =
          [&combo](HWND hwnd, int code) {
            if (code != CBN_SELCHANGE) return false;
            combo.index = static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0));
            return true;
          },
  };
  HWND hwnd = Create(&combo, std::move(behaviour), WC_COMBOBOXW,
                     WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST, id,
                     {place.x, place.y, place.width, place.height + 160});
  // Its row is its visible place; the list below it is no neighbour of anything.
  bindings_.back().place = place;
  bindings_.back().dropDown = 160;
  bindings_.back().fitsItems = items == Items::Words;
  for (const std::string& item : combo.items)
    SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  return hwnd;
}

HWND ControlBinder::AddTrackBar(TrackBar& bar, int id, Place place) {
  Behaviour behaviour{
      .sync =
          [&bar](HWND hwnd) {
            if (SendMessageW(hwnd, TBM_GETPOS, 0, 0) != bar.position)
              SendMessageW(hwnd, TBM_SETPOS, TRUE, bar.position);
          },
      .scroll =
          [&bar](HWND hwnd) {
            bar.position = static_cast<int>(SendMessageW(hwnd, TBM_GETPOS, 0, 0));
          },
  };
  HWND hwnd = Create(&bar, std::move(behaviour), TRACKBAR_CLASSW,
                     WS_TABSTOP | WS_GROUP | TBS_HORZ | TBS_NOTICKS, id, place);
  SendMessageW(hwnd, TBM_SETRANGEMIN, FALSE, bar.minimum);
  SendMessageW(hwnd, TBM_SETRANGEMAX, FALSE, bar.maximum);
  SendMessageW(hwnd, TBM_SETLINESIZE, 0, bar.lineSize);
  SendMessageW(hwnd, TBM_SETPAGESIZE, 0, bar.pageSize);
  return hwnd;
}

HWND ControlBinder::AddCheckList(CheckList& list, int id, Place place) {
  Behaviour behaviour{
      .sync =
          [&list](HWND hwnd) {
            for (std::size_t i = 0; i < list.items.size(); ++i) {
              const int item = static_cast<int>(i);
              if ((ListView_GetCheckState(hwnd, item) != 0) != list.items[i].checked)
                ListView_SetCheckState(hwnd, item, list.items[i].checked);
            }
          },
      .notify =
          [this, &list](HWND hwnd, const NMHDR& header) {
            if (header.code != LVN_ITEMCHANGED || syncing_) return false;
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if ((change.uChanged & LVIF_STATE) && change.iItem >= 0 &&
                static_cast<std::size_t>(change.iItem) < list.items.size())
              list.items[static_cast<std::size_t>(change.iItem)].checked =
                  ListView_GetCheckState(hwnd, change.iItem) != 0;
            return true;
          },
  };
  HWND hwnd = Create(&list, std::move(behaviour), WC_LISTVIEWW,
                     WS_TABSTOP | WS_GROUP | LVS_LIST | LVS_SINGLESEL | LVS_NOCOLUMNHEADER, id,
                     place, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(hwnd, LVS_EX_CHECKBOXES);
  bindings_.back().behaviour.placed = [this, place](HWND control) {
    SendMessageW(control, LVM_SETCOLUMNWIDTH, 0, At(place).width - Scale(15));
  };
  bindings_.back().behaviour.placed(hwnd);
  for (std::size_t i = 0; i < list.items.size(); ++i) {
    std::wstring caption = Wide(list.items[i].caption);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = caption.data();
    SendMessageW(hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  return hwnd;
}

HWND ControlBinder::AddReportList(ListView& list, int id, Place place,
                                  const std::vector<std::string>& columns) {
  const std::size_t columnCount = columns.size();
  Behaviour behaviour{
      .sync = [this, &list](HWND hwnd) { SyncReport(hwnd, list); },
      .notify =
          [this, &list, id](HWND, const NMHDR& header) {
            if (header.code == LVN_ITEMCHANGED && !syncing_) {
              const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
              if ((change.uChanged & LVIF_STATE) && change.iItem >= 0 &&
                  static_cast<std::size_t>(change.iItem) < list.rows.size())
                list.rows[static_cast<std::size_t>(change.iItem)].selected =
                    (change.uNewState & LVIS_SELECTED) != 0;
              return true;
            }
            if (header.code != NM_DBLCLK) return false;
            Run(doubleClicks_, id);
            return true;
          },
      .placed = [this, &list,
                 columnCount](HWND hwnd) { FitReportColumns(hwnd, list, columnCount); },
  };
  HWND hwnd = Create(&list, std::move(behaviour), WC_LISTVIEWW,
                     WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, id,
                     place, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(hwnd, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    std::wstring caption = Wide(columns[i]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = caption.data();
    SendMessageW(hwnd, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  FitReportColumns(hwnd, list, columns.size());
  return hwnd;
}

void ControlBinder::FitReportColumns(HWND hwnd, const ListView& list,
                                     std::size_t columnCount) const {
  // A cell's text has a margin on each side; a caption, the header's margins.
  const int margin = Scale(12);
  std::vector<ColumnNeed> needs(columnCount);
  for (std::size_t i = 0; i < columnCount; ++i) {
    wchar_t caption[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = caption;
    column.cchTextMax = static_cast<int>(std::size(caption));
    SendMessageW(hwnd, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    needs[i].header = StringWidth(hwnd, caption) + margin;
    needs[i].contents = needs[i].header;
  }
  for (const ListRow& row : list.rows) {
    for (std::size_t i = 0; i < columnCount; ++i) {
      const std::string& text = i == 0                     ? row.caption
                                : i <= row.subItems.size() ? row.subItems[i - 1]
                                                           : std::string();
      needs[i].contents = std::max(needs[i].contents, StringWidth(hwnd, Wide(text)) + margin);
    }
  }
  // The room the columns get beside the vertical scroll bar whenever the rows could need it.
  // Where the rows fill the list just without a horizontal bar, the two bars would keep each
  // other up (one takes the width, the other the last row's height): the room for the
  // vertical one is then kept free, so neither comes.
  RECT client;
  GetClientRect(hwnd, &client);
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  const int vertical = SystemMetric(SM_CXVSCROLL, dpi_);
  const int horizontal = SystemMetric(SM_CYHSCROLL, dpi_);
  const int width = client.right + ((style & WS_VSCROLL) ? vertical : 0);
  const int height = client.bottom + ((style & WS_HSCROLL) ? horizontal : 0);
  RECT header{}, row{};
  GetWindowRect(ListView_GetHeader(hwnd), &header);
  const bool rowKnown = !list.rows.empty() && ListView_GetItemRect(hwnd, 0, &row, LVIR_BOUNDS);
  const long long rows = rowKnown ? static_cast<long long>(list.rows.size()) : 0;
  const bool scrolls =
      rows * (row.bottom - row.top) > height - horizontal - (header.bottom - header.top);
  const std::vector<int> widths = FitColumnWidths(needs, width - (scrolls ? vertical : 0));
  for (std::size_t i = 0; i < columnCount; ++i)
    SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, i, widths[i]);
}

const ControlBinder::Binding* ControlBinder::Find(int id, HWND hwnd) const {
  for (const Binding& b : bindings_)
    if (b.id == id && b.hwnd == hwnd && b.state) return &b;
  return nullptr;
}

void ControlBinder::Run(const std::vector<Handler>& handlers, int id) {
  for (const Handler& h : handlers)
    if (h.id == id) h.run();
}

bool ControlBinder::HandleCommand(int id, int code, HWND control) {
  const Binding* b = Find(id, control);
  return b && b->behaviour.command && b->behaviour.command(control, code);
}

bool ControlBinder::HandleNotify(const NMHDR* header) {
  const Binding* b = Find(static_cast<int>(header->idFrom), header->hwndFrom);
  return b && b->behaviour.notify && b->behaviour.notify(b->hwnd, *header);
}

bool ControlBinder::HandleScroll(HWND control) {
  for (const Binding& b : bindings_) {
    if (b.hwnd != control || !b.behaviour.scroll) continue;
    b.behaviour.scroll(control);
    return true;
  }
  return false;
}

void ControlBinder::SyncReport(HWND hwnd, const ListView& list) const {
  const auto& rows = list.rows;
  bool same = static_cast<std::size_t>(SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0)) == rows.size();
  for (std::size_t i = 0; same && i < rows.size(); ++i) {
    const int item = static_cast<int>(i);
    same = ItemText(hwnd, item, 0) == rows[i].caption;
    for (std::size_t k = 0; same && k < rows[i].subItems.size(); ++k)
      same = ItemText(hwnd, item, static_cast<int>(k + 1)) == rows[i].subItems[k];
  }
  if (!same) {
    SendMessageW(hwnd, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      std::wstring caption = Wide(rows[i].caption);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(i);
      item.pszText = caption.data();
      SendMessageW(hwnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      for (std::size_t k = 0; k < rows[i].subItems.size(); ++k) {
        std::wstring text = Wide(rows[i].subItems[k]);
        LVITEMW sub{};
        sub.iSubItem = static_cast<int>(k + 1);
        sub.pszText = text.data();
        SendMessageW(hwnd, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&sub));
      }
    }
    const HWND header = ListView_GetHeader(hwnd);
    FitReportColumns(hwnd, list, static_cast<std::size_t>(Header_GetItemCount(header)));
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const UINT want = rows[i].selected ? LVIS_SELECTED : 0;
    if ((ListView_GetItemState(hwnd, static_cast<int>(i), LVIS_SELECTED) & LVIS_SELECTED) != want)
      ListView_SetItemState(hwnd, static_cast<int>(i), want, LVIS_SELECTED);
  }
}

void ControlBinder::Sync() {
  syncing_ = true;
  for (const Binding& b : bindings_) {
    const bool shown = !b.group || *b.group == shownGroup_;
    if ((IsWindowVisible(b.hwnd) != FALSE) != shown) ShowWindow(b.hwnd, shown ? SW_SHOW : SW_HIDE);
    if (!b.state) continue;
    if ((IsWindowEnabled(b.hwnd) != FALSE) != b.state->enabled)
      EnableWindow(b.hwnd, b.state->enabled);
    if (b.behaviour.sync) b.behaviour.sync(b.hwnd);
  }
  SyncRadioTabStops();
  syncing_ = false;
  // A caption that changed may need more room than the window has; the window never narrows
  // while open, so that it does not jump as captions come and go.
  if (fitsTexts_ && StretchNeeded() > stretch_) {
    stretch_ = StretchNeeded();
    PlaceAll();
    if (stretched_) stretched_();
  }
}

void ControlBinder::SyncRadioTabStops() {
  for (const std::vector<Radio>& group : radioGroups_) {
    const bool anyChecked =
        std::any_of(group.begin(), group.end(), [](const Radio& r) { return r.state->Checked(); });
    for (const Radio& radio : group) {
      const bool stop = radio.state->Checked() || (!anyChecked && &radio == &group.front());
      const LONG_PTR style = GetWindowLongPtrW(radio.hwnd, GWL_STYLE);
      if (((style & WS_TABSTOP) != 0) != stop)
        SetWindowLongPtrW(radio.hwnd, GWL_STYLE, stop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
  }
}

void ControlBinder::Focus(const Control* state) {
  for (const Binding& b : bindings_)
    if (b.state == state) SetFocus(b.hwnd);
}

}  // namespace halcyra
