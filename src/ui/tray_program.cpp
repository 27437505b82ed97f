#include "ui/tray_program.h"

#include <utility>

#include "actions/event_words.h"
#include "core/text.h"
#include "one_off/one_off_commands.h"

namespace halcyra {

TrayProgram::TrayProgram(const ProgramServices& services, TrayProgramHost& host)
    : Schedule({{services.app,
                 services.clock,
                 {services.mixer, services.player},
                 services.cleanup,
                 {services.app.os, services.files, services.app.regional},
                 {services.app.os, services.privilege, services.machine, services.app.boxes,
                  services.sleep},
                 services.sleep},
                services.clockGuard,
                services.machine,
                services.wakeTimers,
                services.idle},
               *this, host),
      Hotkeys(services.hotkeys, services.app.boxes),
      services_(services),
      host_(host) {}

void TrayProgram::Start() {
  LocalTime unhandled = services_.clock.Now();
  unhandled.year = 0;
  Schedule.LastHandled = unhandled;
  ExitRequested = false;
  const SettingsFile file = services_.app.OpenSettings();
  const Settings settings = LoadSettings(file);
  // The icon counts as shown from the start, as the settings window's box is ticked at design
  // time: one that is wanted is added, one that is not is deleted.
  trayIcon_ = true;
  if (settings.general.showSystemTray)
    host_.SetTrayIcon(true);
  else
    ShowTrayIcon(false);
  if (settings.general.preventTimeChange)
    services_.clockGuard.Arm(services_.clock);
  else
    services_.clockGuard.Disarm();
  if (!services_.app.policies.Current().disableHotkeys) Hotkeys.RegisterStored(settings.hotkeys);
  Schedule.LoadTimers(file);
  Schedule.Resume();
}

void TrayProgram::End() {
  Schedule.ProgramEnds();
  Schedule.Timers.clear();
  Hotkeys.Release();
  trayIcon_ = false;
  host_.SetTrayIcon(false);
}

void TrayProgram::ShowTrayIcon(bool shown) {
  if (shown == trayIcon_) return;
  trayIcon_ = shown;
  host_.SetTrayIcon(shown);
}

void TrayProgram::HandleHotkey(int id) {
  const auto slot = Hotkeys.SlotOf(id);
  if (!slot) return;
  const EventWord event = EventWord::Of(WordOf(kHotkeySlots[*slot].event));
  // An organisation that wants a countdown before every action gets one here too, with the
  // one-at-a-time rule of timers: a key pressed under a count or an action does nothing.
  if (services_.app.policies.Current().minimumCountdown > 0) {
    if (Schedule.Running() && !Schedule.Firing() && !Schedule.Acting())
      Schedule.FireTimer({"", event, false, {}});
    return;
  }
  Schedule.RunImmediateAction(event);
}

bool TrayProgram::PoliciesChanged() {
  const bool hotkeysBefore = !services_.app.policies.Current().disableHotkeys;
  if (!services_.app.policies.Refresh()) return false;
  const Policies& policies = services_.app.policies.Current();
  if (hotkeysBefore && policies.disableHotkeys) Hotkeys.Release();
  if (!hotkeysBefore && !policies.disableHotkeys)
    Hotkeys.RegisterStored(LoadHotkeySettings(services_.app.OpenSettings()));
  if (view_) view_->PoliciesChanged(policies);
  Schedule.FileChanged();
  if (policies.disableOneOffs && Schedule.OneOff) {
    Schedule.OneOff.reset();
    OneOffChanged();
  }
  return true;
}

bool TrayProgram::AskPasswordIfEnabled() {
  if (!LoadPasswordSettings(services_.app.OpenSettings()).enabled) return true;
  struct Open {
    bool& flag;
    explicit Open(bool& f) : flag(f) { flag = true; }
    ~Open() { flag = false; }
  } open(promptOpen_);
  return host_.ShowPasswordPrompt();
}

void TrayProgram::ShowMainWindowGuarded() {
  // One prompt at a time: what asks again while one is open waits for its answer instead.
  if (promptOpen_) return;
  if (!AskPasswordIfEnabled()) return;
  host_.ShowWindowInFront();
}

void TrayProgram::HandleTrayMessage(int event, ScreenPoint anchor, TrayVersion version) {
  if (promptOpen_) return;
  // The menu opens where the shell asks for a context menu: on the right button's release, on
  // Shift+F10 or the menu key, and on Enter or Space at the icon. The right button's press and
  // the left click (NIN_SELECT) do nothing, so the double-click stays the way to the window. A
  // shell that speaks only the first version asks for no menu: its right button's release
  // opens it, which the fourth version also sends, before its own request.
  const bool menu = version == TrayVersion::kFourth
                        ? event == kTrayContextMenu || event == kTrayKeySelect
                        : event == kTrayRightButtonUp;
  if (event == kTrayDoubleClick)
    ShowMainWindowGuarded();
  else if (menu)
    host_.ShowTrayMenu(anchor);
}

void TrayProgram::MnuOnceClick() {
  // The item is gone from the menu; a command sent to the window all the same does nothing.
  if (services_.app.policies.Current().disableOneOffs) return;
  if (promptOpen_ || !AskPasswordIfEnabled()) return;
  host_.ShowOnceWindow();
}

void TrayProgram::MnuHideClick() {
  // Nothing is saved: the next start shows the icon again if the file says so.
  host_.HideWindow();
  ShowTrayIcon(false);
  if (view_) view_->TrayIconHidden();
}

void TrayProgram::MnuExitClick() {
  if (services_.app.policies.Current().disableExit) return;
  if (promptOpen_ || !AskPasswordIfEnabled()) return;
  // Ending the program now would end the countdown without its action, past a disabled
  // "Abort", and leave the alarm's volume set.
  if (Schedule.Firing() || Schedule.Acting()) {
    exitAfterAction_ = true;
    return;
  }
  ExitNow();
}

void TrayProgram::ExitNow() {
  ExitRequested = true;
  host_.CloseWindow();
}

void TrayProgram::ActionOver() {
  // From the main loop: the handler that ended the action may still be running.
  if (std::exchange(exitAfterAction_, false)) host_.Post([this] { ExitNow(); });
}

void TrayProgram::OpenHelpFile() {
  services_.shell.Execute("open", JoinPath(FolderOf(host_.ExecutablePath()), "help.chm"), "c:\\",
                          kShowNormal);
}

std::string TrayProgram::OneOffCommand(std::string_view message) {
  const std::string reply = HandleOneOffCommand(
      message, Schedule,
      {services_.processes, services_.load, services_.clock, services_.app.policies.Current()});
  OneOffChanged();
  // What a script asked for shows on the screen, where the icon is.
  const bool accepted = message.substr(0, message.find('\n')) == "do" &&
                        reply.substr(0, reply.find('\n')) == kReplyOk;
  if (accepted && trayIcon_) {
    const std::string tip = TrayTip(Schedule);
    host_.ShowTrayBalloon(tip.substr(tip.find('\n') + 1));
  }
  return reply;
}

void TrayProgram::OneOffChanged() { host_.SetTrayTip(TrayTip(Schedule)); }

void TrayProgram::TimersReloaded() {
  if (view_) view_->TimersReloaded();
}

void TrayProgram::RemoveTimerRows(const std::string& title) {
  if (view_) view_->RemoveTimerRows(title);
}

bool TrayProgram::HandleQueryEndSession(bool onlyThisProgram) {
  // An installer that closes only this program (the Restart Manager) ends no session, so
  // nothing else of the user's is ended with it.
  if (!onlyThisProgram) host_.TerminateProcesses("loadqm.exe");
  tickBeforeQuery_ = Schedule.Running();
  Schedule.Pause();
  host_.CloseWindow();
  return true;
}

void TrayProgram::HandleEndSession(bool ending) {
  if (ending) {
    // Windows ends the program now in any case (the session ends, or an installer asked the
    // program to close through the Restart Manager): it ends as Exit does, without the
    // password, so that its handles and its files are let go in order.
    ExitRequested = true;
    host_.CloseWindow();
  } else if (tickBeforeQuery_) {
    Schedule.Resume();
  }
  tickBeforeQuery_ = false;
}

}  // namespace halcyra
