// The main window's logic with fakes of every service, on a settings file of its own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/portable/portable_text_files.h"
#include "support/fakes.h"
#include "support/temp_folder.h"
#include "ui/main_form.h"

namespace halcyra::test {

// The real window's host. Its modal windows and its menu run their own message loops, as
// Windows' do: `modalLoop` runs what the thread has pending while one is open.
class FakeMainHost final : public MainFormHost, public TrayProgramHost {
 public:
  std::function<void()> modalLoop;
  // The view tells the logic when the window is about to show, however it is shown.
  std::function<void()> onShow;
  int hides = 0;
  std::function<void(TFrmTimer&)> onEditor;
  int editorsShown = 0;
  void HideWindow() override {
    ++hides;
    calls.push_back("hide");
  }
  // The countdown window: the event of each one opened, and the one open now.
  std::vector<std::string> countdowns;
  TFrmNotify* countdown = nullptr;
  std::function<void(TFrmNotify&)> onCountdown;
  void OpenCountdown(TFrmNotify& form) override {
    countdowns.push_back(form.Event().word);
    countdown = &form;
    if (onCountdown) onCountdown(form);
  }
  void SyncCountdown() override {}
  void HideCountdown() override { calls.push_back("countdown hidden"); }
  void CloseCountdown() override {
    calls.push_back("countdown closed");
    countdown = nullptr;
  }
  // What the logic left for the main loop, run by the test when the handler has returned.
  std::vector<std::function<void()>> posted;
  void Post(std::function<void()> action) override { posted.push_back(std::move(action)); }
  void RunPosted() {
    auto actions = std::move(posted);
    posted.clear();
    for (auto& action : actions) action();
  }
  // Everything else the window is asked to do, in order.
  std::vector<std::string> calls;
  bool passwordAnswer = true;
  // Runs while the prompt is "open", before its answer.
  std::function<void()> onPrompt;
  bool ShowPasswordPrompt() override {
    calls.push_back("prompt");
    if (modalLoop) modalLoop();
    if (onPrompt) onPrompt();
    return passwordAnswer;
  }
  void ShowWindowInFront() override {
    if (onShow) onShow();
    calls.push_back("show");
  }
  void SetTrayIcon(bool present) override { calls.push_back(present ? "icon add" : "icon delete"); }
  void ShowTrayMenu(ScreenPoint anchor) override {
    calls.push_back("menu at " + std::to_string(anchor.x) + "," + std::to_string(anchor.y));
    if (modalLoop) modalLoop();
  }
  std::string tip = "Halcyra";
  void SetTrayTip(const std::string& text) override { tip = text; }
  void ShowTrayBalloon(const std::string& text) override { calls.push_back("balloon " + text); }
  void ShowOnceWindow() override {
    calls.push_back("once window");
    if (modalLoop) modalLoop();
  }
  void CloseWindow() override { calls.push_back("close"); }
  void TerminateProcesses(const std::string& exeName) override {
    calls.push_back("end " + exeName);
  }
  std::string ExecutablePath() const override { return "C:\\Tools\\Halcyra.exe"; }
  void ShowTimerEditor(TFrmTimer& editor) override {
    ++editorsShown;
    editor.FormShow();
    if (modalLoop) modalLoop();
    if (onEditor) onEditor(editor);
  }
};

class MainFormTest : public testing::Test {
 protected:
  MainFormTest() {
    std::filesystem::create_directories(folder_.Path() / "root" / "Halcyra");
    os_.commonAppData = (folder_.Path() / "root").string();
    Prepare("");
    boxes_.whileOpen = [this] { ModalLoop(); };
    host_.modalLoop = [this] { ModalLoop(); };
    host_.onShow = [this] { form_->FormShow(); };
  }
  // What Windows runs inside the loop of a message box, a menu or a modal window: the messages
  // posted to the thread, and the schedule's tick each time it falls due in the second the
  // window stays open. Loops opened from inside such loops nest, as far as Windows' would
  // before the stack ran out.
  void ModalLoop() {
    if (!program_ || modalDepth_ >= kDeepestModalLoop) return;
    ++modalDepth_;
    host_.RunPosted();
    for (unsigned waited = 0; waited < 1000 && program_;) {
      const unsigned interval = program_->Schedule.TickIntervalMs();
      waited += interval;
      clock_.tick64 += interval;
      if (program_->Schedule.Running()) program_->Schedule.Timer1Timer();
    }
    --modalDepth_;
  }
  std::string SettingsPath() const { return *os_.commonAppData + "\\Halcyra\\Halcyra.ini"; }
  void Prepare(const std::string& content) {
    std::ofstream(SettingsPath(), std::ios::binary | std::ios::trunc) << content;
  }
  SettingsFile Settings() { return SettingsFile(ini_, SettingsPath(), {}); }
  // The settings file's bytes, read past the INI layer.
  std::string Raw() const {
    std::ifstream in(SettingsPath(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string Read(const char* section, const char* key) {
    return Settings().ReadString(section, key);
  }
  // The program starts, then its settings window is made, as at a real start.
  TFrmMain& Create() {
    form_.reset();
    program_.emplace(services_, host_);
    form_.emplace(services_, *program_, host_);
    program_->Start();
    form_->FormCreate();
    ini_.log.clear();
    return *form_;
  }
  // Shows a page the way a user's tab click does.
  void Show(MainPage page) { form_->ChangePage(page); }

  TempFolder folder_;
  FakeOsInfo os_;
  RefusingIniProfile ini_;
  FixedRegionalSettings regional_;
  FakeMessageBoxes boxes_;
  RecordingMachineControl machine_;
  FakePolicyStore policyStore_;
  FakeSystemLog policyLog_;
  PolicyWatch policies_{policyStore_, policyLog_, PolicyReach::MachineAndUser};
  AppServices app_{os_, ini_, regional_, boxes_, machine_, policies_};
  FakeClock clock_;
  FakeMixer mixer_;
  ClockGuard guard_;
  FakeWakeTimers wakeTimers_;
  FakeSoundPlayer player_;
  FakeFileDialogs dialogs_;
  PortableTextFiles files_;
  FakeShell shell_;
  FakeHotkeyRegistry hotkeys_;
  RecordingCleanupTasks cleanup_;
  FakePrivilege privilege_;
  FakeServiceControl service_;
  FakeSleepSupport sleep_;
  FakeProcessWaits processes_;
  FakeInputIdle idle_;
  FakeSystemLoad load_;
  ProgramServices services_{app_,       clock_,   mixer_, guard_,     wakeTimers_, machine_,
                            player_,    dialogs_, files_, shell_,     hotkeys_,    cleanup_,
                            privilege_, service_, sleep_, processes_, idle_,       load_};
  FakeMainHost host_;
  std::optional<TrayProgram> program_;
  std::optional<TFrmMain> form_;
  static constexpr int kDeepestModalLoop = 16;
  int modalDepth_ = 0;
};

}  // namespace halcyra::test
