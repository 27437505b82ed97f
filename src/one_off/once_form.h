// The behaviour of the one-off action window "TFrmOnce", opened from the notification icon's
// menu: one action once, in some minutes, at a time, when a program ends, after idle time or
// once the computer is quiet. It sends the same request as the matching HalcyraCmd line, over
// the same path, and shows and cancels the pending one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_services.h"
#include "one_off/pending_one_off.h"
#include "platform/process_waits.h"
#include "toolkit/controls.h"

namespace halcyra {

inline constexpr const char* kOnceHelpPage = "oneoff.html";

// What the window needs of the program that holds the request.
class OnceFormHost {
 public:
  virtual ~OnceFormHost() = default;
  // A command as HalcyraCmd sends it ("do" with a request, "cancel"); the reply, "ok" or
  // another verdict on its first line, then what to say.
  virtual std::string OneOffCommand(std::string_view message) = 0;
  // What the pending request will do, or that none is pending.
  virtual std::string PendingLine() const = 0;
  virtual void OpenHelpPage(const std::string& page) = 0;
};

class TFrmOnce {
 public:
  TFrmOnce(const AppServices& app, ProcessWaits& processes, OnceFormHost& host);

  Label LblEvent;
  ComboBox CboEvent;
  RadioButton RbnIn, RbnAt, RbnExit, RbnIdle, RbnQuiet;
  Edit EdtIn, EdtAt, EdtIdle, EdtQuiet, EdtCpu, EdtNet, EdtLatest;
  Label LblInMinutes, LblIdleMinutes, LblQuietMinutes, LblCpu, LblPercent, LblNet, LblKBps;
  ComboBox CboProgram;
  CheckBox ChkLatest;
  // What the actions that end the session do to open programs.
  Label LblForce;
  Label LblPending;
  Button BtnCancelPending, BtnOK, BtnCancel, BtnHelp;

  bool Closed() const { return closed_; }

  // Before it is shown: the programs that run now and the pending request.
  void FormShow();
  void RbnClick() { EnableFields(); }
  void ChkLatestClick() { EnableFields(); }
  void BtnCancelPendingClick();
  void BtnOKClick();
  void BtnCancelClick() { closed_ = true; }
  void BtnHelpClick() { host_.OpenHelpPage(kOnceHelpPage); }

  // The request the fields ask for, or the message that says what is wrong with them.
  struct Refusal {
    std::string message;
    const Edit* field = nullptr;  // to take the focus
  };
  std::optional<OneOffRequest> BuildRequest(Refusal& refusal) const;
  // The control the view is to give the focus to, once.
  const Control* TakeFocusRequest();

 private:
  void EnableFields();
  // The pending request's line; its Cancel only while there is one.
  void ShowPending();
  void Refuse(const Refusal& refusal);

  const AppServices& app_;
  ProcessWaits& processes_;
  OnceFormHost& host_;
  std::vector<RunningProgram> programs_;
  const Control* focus_ = nullptr;
  bool closed_ = false;
};

}  // namespace halcyra
