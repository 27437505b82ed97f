#include "schedule/timer_editor.h"

#include "actions/event_words.h"
#include "app/timer_section.h"
#include "core/date_time.h"
#include "core/text.h"
#include "lang/texts.h"
#include "schedule/frequency.h"

namespace halcyra {
namespace {

std::string PaddedTimePart(std::string text) {
  if (text.empty()) return "00";
  if (text.size() == 1) return "0" + text;
  return text;
}

// The lists show the words translated; the file keeps them in English.
template <typename Words, typename WordOf>
int IndexOf(const std::string& word, const Words& words, WordOf wordOf, int otherwise) {
  for (std::size_t i = 0; i + 1 < words.size(); ++i)
    if (word == wordOf(words[i])) return static_cast<int>(i);
  return otherwise;
}

const char* EventWordOf(const EventWordMeaning& meaning) { return meaning.word; }
const char* DayNameOf(const char* name) { return name; }

}  // namespace

TFrmTimer::TFrmTimer(const AppServices& services, TimerEditorHost& host)
    : services_(services), host_(host) {
  Label1.caption = Tr("Timer title :");
  ChkEnabled.caption = Tr("Enable timer");
  ChkEnabled.SetChecked(true);
  Label2.caption = Tr("Shutdown action :");
  for (const EventWordMeaning& meaning : kEventWords)
    CboShutEvent.items.push_back(Tr(meaning.caption));
  CboShutEvent.index = 0;
  LblTime.caption = Tr("Time (hh:mm):");
  SpinHour.text = "0";
  SpinHour.maxLength = 2;
  Label3.caption = ":";
  SpinMinute.text = "0";
  SpinMinute.maxLength = 2;
  RbnOnce.caption = Tr("Activate once only at the above time");
  RbnDaily.caption = Tr("Activate daily at the above time");
  RbnWeekday.caption = Tr("Activate on weekdays only at the above time");
  RbnWeekly.caption = Tr("Activate weekly at the above time");
  for (RadioButton* r : {&RbnOnce, &RbnDaily, &RbnWeekday, &RbnWeekly})
    r->group = {&RbnOnce, &RbnDaily, &RbnWeekday, &RbnWeekly};
  RbnDaily.Check();
  for (const Text day : kDayCaptions) CboWeekday.items.push_back(Tr(day));
  CboWeekday.index = 0;
  CboWeekday.enabled = false;
  BtnOK.caption = Tr("OK");
  BtnCancel.caption = Tr("Cancel");

  ChkEnabled.onClick = [this] { ChkEnabledClick(); };
  RbnOnce.onClick = [this] { RbnOnceClick(); };
  RbnDaily.onClick = [this] { RbnDailyClick(); };
  RbnWeekday.onClick = [this] { RbnWeekdayClick(); };
  RbnWeekly.onClick = [this] { RbnWeeklyClick(); };
}

void TFrmTimer::PreFill(const TTimerRecord& record) {
  EdtTitle.text = record.Title;
  ChkEnabled.SetChecked(record.Enabled);
  CboShutEvent.index = IndexOf(record.ShutEvent, kEventWords, EventWordOf, 5);
  const std::size_t colon = record.Time.find(':');
  SpinHour.text = record.Time.substr(0, colon);
  SpinMinute.text = colon == std::string::npos ? std::string() : record.Time.substr(colon + 1);
  if (record.Frequency == kOnce) {
    RbnOnce.Check();
  } else if (record.Frequency == kDaily) {
    RbnDaily.Check();
  } else if (record.Frequency == kWeekday) {
    RbnWeekday.Check();
  } else {
    RbnWeekly.Check();
    CboWeekday.index = IndexOf(record.Frequency, kDayNames, DayNameOf, 6);
  }
}

void TFrmTimer::FormShow() {
  EditMode = !TrimControl(EdtTitle.text).empty();
  CboWeekday.enabled = ChkEnabled.Checked() && RbnWeekly.Checked();
  if (SpinMinute.text == "0") SpinMinute.text = "00";
}

void TFrmTimer::ChkEnabledClick() {
  const bool on = ChkEnabled.Checked();
  for (Control* c : {static_cast<Control*>(&CboShutEvent), static_cast<Control*>(&SpinHour),
                     static_cast<Control*>(&SpinMinute), static_cast<Control*>(&RbnOnce),
                     static_cast<Control*>(&RbnDaily), static_cast<Control*>(&RbnWeekday),
                     static_cast<Control*>(&RbnWeekly), static_cast<Control*>(&LblTime),
                     static_cast<Control*>(&Label2)})
    c->enabled = on;
  CboWeekday.enabled = on && RbnWeekly.Checked();
}

void TFrmTimer::SpinMinuteExit() {
  if (SpinMinute.text.size() == 1) SpinMinute.text = "0" + SpinMinute.text;
}

void TFrmTimer::Fail(Text message) {
  services_.boxes.Show(Tr(message), Tr("Error"), mb::kOk | mb::kIconInformation);
}

bool TFrmTimer::CheckTitle() {
  const std::string& title = EdtTitle.text;
  if (TrimControl(title).empty()) {
    Fail(kBlankTitleMessage);
    return false;
  }
  // The settings file keeps a title intact as a key only without these.
  if (title.find('=') != std::string::npos || title.front() == ';' || title.front() == '[' ||
      TrimControl(title).size() != title.size()) {
    Fail(kUnstorableTitleMessage);
    return false;
  }
  const ListView& list = host_.TimerList();
  const int selected = list.SelectedIndex();
  // The settings file tells keys apart without regard to case, by its own rule: so must the
  // check.
  const std::string key = services_.ini.NameKey(title);
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    if (services_.ini.NameKey(list.rows[i].caption) != key) continue;
    if (EditMode && static_cast<int>(i) == selected) continue;
    Fail(kDuplicateTitleMessage);
    return false;
  }
  return true;
}

std::string TFrmTimer::FrequencyWord() const {
  if (RbnOnce.Checked()) return kOnce;
  if (RbnDaily.Checked()) return kDaily;
  if (RbnWeekday.Checked()) return kWeekday;
  return kDayNames[static_cast<std::size_t>(std::clamp(CboWeekday.index, 0, 6))];
}

void TFrmTimer::WriteEditedEntry(SettingsFile& file, const std::string& oldTitle,
                                 const std::string& value) {
  // The section goes in one write, so that a refused one loses no timer, and in the order that
  // deleting the old key and writing the new one gives: the edited timer last, under its title
  // as typed. That order decides which of two timers of one minute fires first.
  const auto lines = ReadTimerLines(file);
  if (!lines) throw SettingsWriteError(file.Path());
  std::vector<std::string> entries;
  entries.reserve(lines->size() + 1);
  bool found = false;
  for (const std::string& line : *lines) {
    const std::string_view key = TrimControl(std::string_view(line).substr(0, line.find('=')));
    found = found || file.SameKey(key, oldTitle);
    if (file.SameKey(key, oldTitle) || file.SameKey(key, EdtTitle.text)) continue;
    entries.push_back(line);
  }
  // A file the system could not read (locked a moment) gives no lines: written back, that
  // would drop every other timer.
  if (!found) throw SettingsWriteError(file.Path());
  entries.push_back(EdtTitle.text + "=" + value);
  WriteTimerSection(file, entries);
}

void TFrmTimer::BtnOKClick() {
  if (!CheckTitle()) return;
  const std::string value = FormatTimerEntry(
      ChkEnabled.Checked(),
      kEventWords[static_cast<std::size_t>(std::clamp(CboShutEvent.index, 0, 5))].word,
      PaddedTimePart(SpinHour.text), PaddedTimePart(SpinMinute.text), FrequencyWord());
  const ListView& list = host_.TimerList();
  const int selected = EditMode ? list.SelectedIndex() : -1;
  const std::string oldTitle =
      selected >= 0 ? list.rows[static_cast<std::size_t>(selected)].caption : std::string();
  SettingsFile file = services_.OpenSettings();
  try {
    if (selected >= 0)
      WriteEditedEntry(file, oldTitle, value);
    else
      WriteTimerEntry(file, EdtTitle.text, value);
  } catch (const SettingsWriteError&) {
    services_.boxes.Show(SettingsSaveFailedMessage(file.Path()), kAppTitle,
                         mb::kOk | mb::kIconError);
    closed_ = true;
    return;
  }
  if (EditMode) host_.RemoveSelectedTimerRow();
  host_.TimerWritten(EdtTitle.text, value);
  closed_ = true;
}

}  // namespace halcyra
