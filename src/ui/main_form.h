// The behaviour of the main settings window "TFrmMain": every control's state, the load of the
// settings, OK, Cancel, closing and the page-change check. It shows and changes what the tray
// program holds (its timers, hotkeys and icon). The Win32 view only mirrors it.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "app/settings.h"
#include "schedule/timer_page.h"
#include "toolkit/controls.h"
#include "ui/settings_pages.h"
#include "ui/tray_program.h"

namespace halcyra {

inline constexpr const char* kWebSiteAddress = "https://halcyra.org";
inline constexpr const char* kSupportAddress = "support@halcyra.org";

enum class MainPage { General, Hotkeys, Timer, Sound, Cleanup, Password, Log, About };
inline constexpr int kMainPageCount = 8;

// What the logic asks of the real window.
class MainFormHost : public TimerPageHost {
 public:
  virtual ~MainFormHost() = default;
  virtual void HideWindow() = 0;
};

class TFrmMain final : public SettingsPages, public TimerPage, private ProgramView {
 public:
  TFrmMain(const ProgramServices& services, TrayProgram& program, MainFormHost& host);
  ~TFrmMain() override;
  TFrmMain(const TFrmMain&) = delete;
  TFrmMain& operator=(const TFrmMain&) = delete;

  // Page 8, About; Timer comes with TimerPage, the other pages with SettingsPages.
  Label Label17, LblWebSite, LblEmail;
  // Below the pages.
  Button BtnOK, BtnCancel, BtnHelp;

  static std::string PageCaption(MainPage page);

  MainPage ActivePage() const { return activePage_; }

  // The column the timer list is sorted by.
  int SortColumn = 0;
  // This process wrote the first-start record on an edition "Vista": OK stops the service and
  // leaves it stopped.
  bool FirstRunOnVista = false;

  void ChkSystemTrayClick();
  void BtnHelpClick() { program_.OpenHelpFile(); }
  void LblWebSiteClick();
  void LblEmailClick();

  void FormCreate();
  // The window is about to be shown, however: the first show asks the mixer what the creation
  // left for it.
  void FormShow();
  // The window really closes, and the program ends with it: every wake-up timer is cancelled
  // and closed, and a countdown still open closes with the saved volume put back.
  void FormClose() { program_.End(); }
  void BtnOKClick();
  void BtnCancelClick();
  // Whether the window may really close; a refused close is a Cancel.
  bool FormCloseQuery();
  // Whether the shown page may be left.
  bool PageControlChanging();
  // A tab click: the page changes only when the shown page may be left.
  void ChangePage(MainPage page);
  // The next page (step 1) or the one before (step -1), round the end, as a tab click does.
  void StepPage(int step);
  // The page that the page control now shows, after PageControlChanging allowed it.
  void PageChanged(MainPage page) { activePage_ = page; }

 private:
  void LoadControls(bool atCreation);
  // The Sound page's part of the load: at creation, no mixer device switches the alarm off.
  void LoadSoundPage(const SoundSettings& sound, bool atCreation);
  bool RunChecks();
  void SaveSettings(SettingsFile& file);
  HotkeyTexts HotkeyFieldTexts();
  std::optional<TTimerRecord> TimerOfRow(const std::string& title) const override;
  void TimersDeleted() override { program_.Schedule.ReloadTimers(); }
  void TimerWritten(const std::string& title, const std::string& value) override;
  void RemoveTimerRows(const std::string& title) override;
  void TimersReloaded() override;
  void TrayIconHidden() override { ChkSystemTray.SetChecked(false); }
  void PoliciesChanged(const Policies& policies) override;

  ProgramServices services_;
  TrayProgram& program_;
  MainFormHost& host_;
  MainPage activePage_ = MainPage::Timer;
  // The creation's mixer steps wait for the first show (FormShow): nobody sees the Sound page
  // before, and opening the audio device costs the tray program a device thread for good. The
  // volume's step too when the file has none.
  bool soundDevicePending_ = false;
  bool volumeFromMixer_ = false;
};

}  // namespace halcyra
