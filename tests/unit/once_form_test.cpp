// The one-off action window: what each "when" asks for, and how OK and Cancel pending action
// reach the request the tray program holds.
#include "one_off/once_form.h"

#include <gtest/gtest.h>

#include "cmd/command_line.h"
#include "one_off/one_off_commands.h"
#include "unit/main_form_fixture.h"

namespace halcyra {
namespace {

// The window over the main window's logic, as the tray program wires it.
class OnceFormTest : public test::MainFormTest, private OnceFormHost {
 protected:
  TFrmOnce& Open() {
    if (!form_) Create();
    once_.emplace(app_, processes_, static_cast<OnceFormHost&>(*this));
    once_->FormShow();
    return *once_;
  }
  std::string OneOffCommand(std::string_view message) override {
    return program_->OneOffCommand(message);
  }
  std::string PendingLine() const override { return halcyra::PendingLine(program_->Schedule); }
  void OpenHelpPage(const std::string& page) override { helpPages_.push_back(page); }

  std::optional<TFrmOnce> once_;
  std::vector<std::string> helpPages_;
};

OneOffRequest Asked(const char* event, OneOffCondition condition, unsigned minutes = 0) {
  OneOffRequest request;
  request.event = event;
  request.condition = condition;
  request.minutes = minutes;
  return request;
}

TEST_F(OnceFormTest, EachWhenAsksForWhatTheMatchingCommandLineAsksFor) {
  processes_.windowed = {{"Encoding - HandBrake", "HandBrake.exe"}, {"Notes", "notepad.exe"}};
  TFrmOnce& f = Open();
  EXPECT_EQ(f.CboEvent.items, (std::vector<std::string>{"Shutdown", "Power off", "Reboot",
                                                        "Hibernate", "Suspend", "Log off"}));
  EXPECT_EQ(f.CboProgram.items, (std::vector<std::string>{"Encoding - HandBrake - HandBrake.exe",
                                                          "Notes - notepad.exe"}));
  TFrmOnce::Refusal refusal;
  const auto built = [&] { return f.BuildRequest(refusal).value_or(OneOffRequest{}); };

  f.CboEvent.index = 1;
  f.EdtIn.text = "90";
  // What HalcyraCmd's line in each comment asks for, written out field by field.
  // /do "Power off" /in 90
  OneOffRequest asked = Asked("Power off", OneOffCondition::In, 90);
  EXPECT_EQ(built(), asked);
  f.RbnAt.Check();
  f.EdtAt.text = "7:05";
  // /do "Power off" /at 7:05
  asked = Asked("Power off", OneOffCondition::At);
  asked.at = {7, 5};
  EXPECT_EQ(built(), asked);
  EXPECT_FALSE(f.ChkLatest.enabled) << "no latest time for a time that comes anyway";
  f.RbnExit.Check();
  f.CboProgram.index = 0;
  f.ChkLatest.SetChecked(true);
  f.EdtLatest.text = "23:30";
  // /do "Power off" /after-exit HandBrake.exe /latest 23:30
  asked = Asked("Power off", OneOffCondition::AfterExit);
  asked.imageName = "HandBrake.exe";
  asked.latest = {23, 30};
  EXPECT_EQ(built(), asked);
  f.RbnAt.Check();  // the box stays ticked, for a condition that takes no latest time
  EXPECT_FALSE(f.EdtLatest.enabled);
  EXPECT_FALSE(built().latest);
  f.ChkLatest.SetChecked(false);
  f.CboEvent.index = 3;
  f.RbnIdle.Check();
  f.EdtIdle.text = "20";
  // /do Hibernate /after-idle 20
  EXPECT_EQ(built(), Asked("Hibernate", OneOffCondition::AfterIdle, 20));
  f.RbnQuiet.Check();
  f.EdtQuiet.text = "15";
  f.EdtNet.text = "50";
  // /do Hibernate /after-quiet 15 /net 50: the processor's limit is HalcyraCmd's default, 10 %.
  asked = Asked("Hibernate", OneOffCondition::AfterQuiet, 15);
  asked.processorPercent = 10;
  asked.networkKBps = 50;
  EXPECT_EQ(built(), asked);
  EXPECT_TRUE(f.EdtCpu.enabled);
  EXPECT_FALSE(f.EdtIdle.enabled) << "only the chosen condition's fields";

  // What HalcyraCmd refuses, the window refuses, naming the field.
  const struct {
    Edit* field;
    const char* text;
    const char* says;
  } bad[] = {{&f.EdtQuiet, "0", "from 1 to 10080"},
             {&f.EdtCpu, "101", "from 1 to 100."},
             {&f.EdtNet, "1000001", "from 1 to 1000000"}};
  for (const auto& row : bad) {
    const std::string before = row.field->text;
    row.field->text = row.text;
    EXPECT_FALSE(f.BuildRequest(refusal)) << row.text;
    EXPECT_NE(refusal.message.find(row.says), std::string::npos) << refusal.message;
    EXPECT_EQ(refusal.field, row.field);
    row.field->text = before;
  }
  f.RbnAt.Check();
  f.EdtAt.text = "24:00";
  EXPECT_FALSE(f.BuildRequest(refusal));
  f.RbnIn.Check();
  f.EdtIn.text = "-5";
  EXPECT_FALSE(f.BuildRequest(refusal));
}

TEST_F(OnceFormTest, OkReplacesThePendingRequestCancelPendingDropsItAndTheIconTellsOfIt) {
  Prepare("[general]\r\nShowSystemTray=True\r\n");
  processes_.windowed = {{"Encoding - HandBrake", "HandBrake.exe"}};
  processes_.running["HandBrake.exe"] = 1;
  TFrmOnce& f = Open();
  EXPECT_EQ(f.LblPending.caption, "No one-off action is pending.");
  EXPECT_FALSE(f.BtnCancelPending.enabled);
  f.CboEvent.index = 1;
  f.RbnExit.Check();
  f.BtnOKClick();
  EXPECT_TRUE(f.Closed());
  EXPECT_EQ(PendingLine(), "Power off when HandBrake.exe ends");
  EXPECT_EQ(host_.calls.back(), "balloon Power off when HandBrake.exe ends")
      << "the icon shows what was asked for";
  EXPECT_EQ(host_.tip, "Halcyra\nPower off when HandBrake.exe ends");

  // Opened again: the pending request, which a new one replaces, or Cancel pending drops.
  TFrmOnce& again = Open();
  EXPECT_EQ(again.LblPending.caption, "Power off when HandBrake.exe ends");
  program_->OneOffCommand("do\nevent=Suspend\ncondition=in\nminutes=5");
  again.FormShow();
  EXPECT_EQ(again.LblPending.caption, "Suspend at 09:10");
  again.BtnCancelPendingClick();
  EXPECT_FALSE(program_->Schedule.OneOff);
  EXPECT_EQ(again.LblPending.caption, "No one-off action is pending.");
  EXPECT_EQ(host_.tip, "Halcyra");
  EXPECT_FALSE(again.Closed());

  // A program that ended after the list was read is not waited for: it would act at once.
  processes_.running["HandBrake.exe"] = 0;
  again.RbnExit.Check();
  again.BtnOKClick();
  EXPECT_FALSE(again.Closed());
  EXPECT_FALSE(program_->Schedule.OneOff);
  EXPECT_EQ(boxes_.shown.back().text, "HandBrake.exe no longer runs.");
  // A request the tray program refuses leaves the window open and says why.
  again.CboEvent.index = -1;
  again.RbnIn.Check();
  again.BtnOKClick();
  EXPECT_FALSE(again.Closed());
  EXPECT_EQ(boxes_.shown.back().text, "The request was not understood.");
  again.CboEvent.index = 1;

  // Without the icon nothing is shown; Help opens the page on one-off actions.
  again.ChkLatest.SetChecked(false);
  form_->ChkSystemTray.SetChecked(false);
  host_.calls.clear();
  again.RbnIn.Check();
  again.BtnOKClick();
  EXPECT_TRUE(again.Closed());
  EXPECT_TRUE(program_->Schedule.OneOff);
  EXPECT_TRUE(host_.calls.empty()) << "no balloon";
  again.BtnHelpClick();
  EXPECT_EQ(helpPages_, std::vector<std::string>{"oneoff.html"});
}

}  // namespace
}  // namespace halcyra
