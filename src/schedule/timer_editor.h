// The behaviour of the timer editor dialog "TFrmTimer": adding a timer or changing one.
#pragma once

#include <string>

#include "app/app_services.h"
#include "lang/texts.h"
#include "schedule/timer_record.h"
#include "toolkit/controls.h"

namespace halcyra {

inline constexpr Text kBlankTitleMessage = "Timer tile should not be blank.";
inline constexpr Text kDuplicateTitleMessage = "The same Timer tile already exists.";
inline constexpr Text kUnstorableTitleMessage =
    "Timer title should not contain \"=\", start with \";\" or \"[\", or start or end with a "
    "blank.";

// What the editor needs of the window that opened it.
class TimerEditorHost {
 public:
  virtual ~TimerEditorHost() = default;
  virtual const ListView& TimerList() const = 0;
  virtual void RemoveSelectedTimerRow() = 0;
  // After a successful write of the entry: the main window reloads its timers and fills the
  // list again; the wizard appends the row.
  virtual void TimerWritten(const std::string& title, const std::string& value) = 0;
};

class TFrmTimer {
 public:
  TFrmTimer(const AppServices& services, TimerEditorHost& host);

  Label Label1, Label2, LblTime, Label3;
  Edit EdtTitle;
  CheckBox ChkEnabled;
  ComboBox CboShutEvent;
  Edit SpinHour, SpinMinute;
  RadioButton RbnOnce, RbnDaily, RbnWeekday, RbnWeekly;
  ComboBox CboWeekday;
  Button BtnOK, BtnCancel;

  bool EditMode = false;
  bool Closed() const { return closed_; }

  // Fills the dialog from a timer for Edit, before it is shown.
  void PreFill(const TTimerRecord& record);

  void FormShow();
  void ChkEnabledClick();
  void RbnOnceClick() { CboWeekday.enabled = false; }
  void RbnDailyClick() { CboWeekday.enabled = false; }
  void RbnWeekdayClick() { CboWeekday.enabled = false; }
  void RbnWeeklyClick() { CboWeekday.enabled = true; }
  void SpinHourEnter() { SpinHour.selectAllRequested = true; }
  void SpinMinuteEnter() { SpinMinute.selectAllRequested = true; }
  void SpinMinuteExit();
  void BtnCancelClick() { closed_ = true; }
  void BtnOKClick();

 private:
  bool CheckTitle();
  std::string FrequencyWord() const;
  void Fail(Text message);
  void WriteEditedEntry(SettingsFile& file, const std::string& oldTitle, const std::string& value);

  const AppServices& services_;
  TimerEditorHost& host_;
  bool closed_ = false;
};

}  // namespace halcyra
