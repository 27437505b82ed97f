#include "one_off/once_form.h"

#include "actions/event_words.h"
#include "lang/texts.h"
#include "one_off/one_off_commands.h"
#include "platform/message_box.h"

namespace halcyra {
namespace {

constexpr Text kErrorTitle = "Error";
constexpr Text kBadTime = "The time should be hh:mm, from 0:00 to 23:59.";
constexpr Text kNoProgram = "Choose the program to wait for from the list.";

std::string BadMinutes(unsigned least) {
  return Tr("The number of minutes should be a whole number from %1 to %2.",
            {std::to_string(least), std::to_string(kMaxOneOffMinutes)});
}

}  // namespace

TFrmOnce::TFrmOnce(const AppServices& app, ProcessWaits& processes, OnceFormHost& host)
    : app_(app), processes_(processes), host_(host) {
  LblEvent.caption = Tr("Action:");
  for (const EventWordMeaning& meaning : kEventWords) CboEvent.items.push_back(Tr(meaning.caption));
  CboEvent.index = 0;
  RbnIn.caption = Tr("In");
  RbnAt.caption = Tr("At");
  RbnExit.caption = Tr("When this program ends:");
  RbnIdle.caption = Tr("When nobody has used the computer for");
  RbnQuiet.caption = Tr("When the computer is quiet for");
  LblInMinutes.caption = Tr("minutes");
  LblIdleMinutes.caption = Tr("minutes");
  LblQuietMinutes.caption = Tr("minutes:");
  LblCpu.caption = Tr("processor below");
  LblPercent.caption = "%";
  LblNet.caption = Tr("network below");
  LblKBps.caption = Tr("KB/s");
  ChkLatest.caption = Tr("But no later than");
  LblForce.caption = Tr("Shutdown, Power off, Reboot and Log off close programs by force.");
  BtnCancelPending.caption = Tr("Cancel pending action");
  BtnOK.caption = Tr("OK");
  BtnCancel.caption = Tr("Cancel");
  BtnHelp.caption = Tr("Help");
  EdtIn.text = "60";
  EdtAt.text = "23:00";
  EdtIdle.text = "20";
  EdtQuiet.text = "10";
  EdtCpu.text = "10";
  EdtNet.text = "10";
  EdtLatest.text = "23:30";
  for (Edit* number : {&EdtIn, &EdtIdle, &EdtQuiet}) number->maxLength = 5;
  EdtCpu.maxLength = 3;
  EdtNet.maxLength = 7;
  for (Edit* time : {&EdtAt, &EdtLatest}) time->maxLength = 5;
  std::vector<RadioButton*> group = {&RbnIn, &RbnAt, &RbnExit, &RbnIdle, &RbnQuiet};
  for (RadioButton* radio : group) radio->group = group;
  RbnIn.Check();
  // Attached after the design values, so that these set no chain in motion.
  for (RadioButton* radio : group) radio->onClick = [this] { RbnClick(); };
  ChkLatest.onClick = [this] { ChkLatestClick(); };
  EnableFields();
}

void TFrmOnce::FormShow() {
  programs_ = processes_.WindowedPrograms();
  CboProgram.items.clear();
  for (const RunningProgram& program : programs_)
    CboProgram.items.push_back(program.title + " - " + program.imageName);
  CboProgram.index = CboProgram.items.empty() ? -1 : 0;
  ShowPending();
  EnableFields();
}

void TFrmOnce::ShowPending() {
  LblPending.caption = host_.PendingLine();
  BtnCancelPending.enabled = LblPending.caption != Tr(kNothingPending);
}

void TFrmOnce::EnableFields() {
  EdtIn.enabled = LblInMinutes.enabled = RbnIn.Checked();
  EdtAt.enabled = RbnAt.Checked();
  CboProgram.enabled = RbnExit.Checked();
  EdtIdle.enabled = LblIdleMinutes.enabled = RbnIdle.Checked();
  const bool quiet = RbnQuiet.Checked();
  for (Control* control : std::initializer_list<Control*>{
           &EdtQuiet, &EdtCpu, &EdtNet, &LblQuietMinutes, &LblCpu, &LblPercent, &LblNet, &LblKBps})
    control->enabled = quiet;
  // A latest time belongs to the conditions that may never hold, as HalcyraCmd's /latest.
  ChkLatest.enabled = RbnExit.Checked() || RbnIdle.Checked() || quiet;
  EdtLatest.enabled = ChkLatest.enabled && ChkLatest.Checked();
}

std::optional<OneOffRequest> TFrmOnce::BuildRequest(Refusal& refusal) const {
  OneOffRequest r;
  // The list shows the words translated; the request carries them in English.
  r.event = CboEvent.index >= 0 && CboEvent.index < static_cast<int>(kEventWords.size())
                ? kEventWords[static_cast<std::size_t>(CboEvent.index)].word
                : "";
  const auto minutes = [&](const Edit& field, unsigned least) -> bool {
    const auto value = ParseBoundedNumber(field.text, least, kMaxOneOffMinutes);
    if (!value) refusal = {BadMinutes(least), &field};
    r.minutes = value.value_or(0);
    return value.has_value();
  };
  if (RbnIn.Checked()) {
    r.condition = OneOffCondition::In;
    if (!minutes(EdtIn, 0)) return std::nullopt;
  } else if (RbnAt.Checked()) {
    r.condition = OneOffCondition::At;
    const auto at = ParseClockTime(EdtAt.text);
    if (!at) return refusal = {Tr(kBadTime), &EdtAt}, std::nullopt;
    r.at = *at;
  } else if (RbnExit.Checked()) {
    r.condition = OneOffCondition::AfterExit;
    if (CboProgram.index < 0 || CboProgram.index >= static_cast<int>(programs_.size()))
      return refusal = {Tr(kNoProgram), nullptr}, std::nullopt;
    r.imageName = programs_[static_cast<std::size_t>(CboProgram.index)].imageName;
  } else if (RbnIdle.Checked()) {
    r.condition = OneOffCondition::AfterIdle;
    if (!minutes(EdtIdle, 1)) return std::nullopt;
  } else {
    r.condition = OneOffCondition::AfterQuiet;
    if (!minutes(EdtQuiet, 1)) return std::nullopt;
    const auto cpu = ParseBoundedNumber(EdtCpu.text, 1, 100);
    if (!cpu)
      return refusal = {Tr("The processor limit should be a whole number from 1 to 100."), &EdtCpu},
             std::nullopt;
    const auto net = ParseBoundedNumber(EdtNet.text, 1, kMaxNetworkKBps);
    if (!net)
      return refusal = {Tr("The network limit should be a whole number from 1 to %1.",
                           {std::to_string(kMaxNetworkKBps)}),
                        &EdtNet},
             std::nullopt;
    r.processorPercent = *cpu;
    r.networkKBps = *net;
  }
  if (ChkLatest.enabled && ChkLatest.Checked()) {
    const auto latest = ParseClockTime(EdtLatest.text);
    if (!latest) return refusal = {Tr(kBadTime), &EdtLatest}, std::nullopt;
    r.latest = *latest;
  }
  return r;
}

void TFrmOnce::Refuse(const Refusal& refusal) {
  app_.boxes.Show(refusal.message, Tr(kErrorTitle), mb::kOk | mb::kIconInformation);
  focus_ = refusal.field;
}

const Control* TFrmOnce::TakeFocusRequest() {
  const Control* focus = focus_;
  focus_ = nullptr;
  return focus;
}

void TFrmOnce::BtnOKClick() {
  Refusal refusal;
  const auto request = BuildRequest(refusal);
  if (!request) return Refuse(refusal);
  // The list was read when the window opened: a program that has ended since would make the
  // action due at once.
  if (request->condition == OneOffCondition::AfterExit &&
      processes_.Watch(request->imageName, 0, 0)->Count() == 0) {
    FormShow();
    return Refuse({Tr("%1 no longer runs.", {request->imageName}), nullptr});
  }
  const std::string reply = host_.OneOffCommand("do\n" + EncodeRequest(*request));
  const size_t end = reply.find('\n');
  if (reply.substr(0, end) == kReplyOk) {
    closed_ = true;
    return;
  }
  app_.boxes.Show(end == std::string::npos ? reply : reply.substr(end + 1), kAppTitle,
                  mb::kOk | mb::kIconInformation);
  ShowPending();
}

void TFrmOnce::BtnCancelPendingClick() {
  host_.OneOffCommand("cancel");
  ShowPending();
}

}  // namespace halcyra
