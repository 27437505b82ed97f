// HalcyraCmd from end to end: one-off requests handed to the end-to-end tray program, which
// journals the action it performs into Effects.txt.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "core/peer_identity.h"
#include "driver/driver_win.h"
#include "one_off/once_window_ids.h"
#include "platform/win32/process_identity_win.h"
#include "ui/main_window_ids.h"
#include "ui/password_prompt_ids.h"

namespace halcyra::e2e {
namespace {

constexpr const char* kSuspended = "SetSystemPowerState 1 1\r\n";

class OneOffE2E : public testing::Test {
 protected:
  void SetUp() override {
    RemoveFile(DataFile("Effects.txt"));
    WriteFileText(DataFile("Halcyra.ini"), "[general]\r\nFirstStartDone=True\r\nDuration=1\r\n");
  }
  void StartTray() {
    tray_.emplace();
    main_ = FindWindowOf(*tray_, "TFrmMain", "Halcyra");
    ASSERT_NE(main_, nullptr);
  }
  std::optional<AppProcess> tray_;
  HWND main_ = nullptr;
};

TEST_F(OneOffE2E, InZeroCountsDownAndActsAtOnce) {
  StartTray();
  const CmdResult result = Cmd("/do Suspend /in 0");
  EXPECT_EQ(result.code, 0u) << result.err;
  EXPECT_EQ(result.out.rfind("Pending: Suspend at ", 0), 0u) << result.out;
  EXPECT_NE(FindWindowOf(*tray_, "TFrmNotify", "Halcyra"), nullptr) << "the countdown";
  EXPECT_TRUE(WaitUntil([] { return ReadFileText(DataFile("Effects.txt")) == kSuspended; }, 8s))
      << ReadFileText(DataFile("Effects.txt"));
}

TEST_F(OneOffE2E, AfterExitWaitsForTheProcessAndCancelLeavesNothing) {
  StartTray();
  AppProcess first("sleeper_probe.exe");
  const unsigned long before = ScheduleTicks(main_);
  ASSERT_EQ(Cmd("/do Suspend /after-exit sleeper_probe").code, 0u);
  Sleep(3000);
  EXPECT_EQ(ScheduleTicks(main_), before) << "the end is heard of: nothing looks for it";
  // A request that fired is dropped: still pending is the sign it did not.
  EXPECT_NE(Cmd("/status").out.find("Pending: Suspend when sleeper_probe.exe ends"),
            std::string::npos)
      << "the process still runs";
  EXPECT_FALSE(FileExists(DataFile("Effects.txt")));
  first.Terminate();
  EXPECT_TRUE(WaitUntil([] { return ReadFileText(DataFile("Effects.txt")) == kSuspended; }, 8s));

  RemoveFile(DataFile("Effects.txt"));
  AppProcess second("sleeper_probe.exe");
  ASSERT_EQ(Cmd("/do Suspend /after-exit " + std::to_string(second.Id())).code, 0u);
  const CmdResult cancel = Cmd("/cancel");
  EXPECT_EQ(cancel.out, "The pending request is cancelled.\r\n");
  EXPECT_NE(Cmd("/status").out.find("No request is pending."), std::string::npos);
  const unsigned long ticks = ScheduleTicks(main_);
  second.Terminate();
  Sleep(3000);
  EXPECT_EQ(ScheduleTicks(main_), ticks) << "nothing pending, no timer: the schedule sleeps";
  EXPECT_FALSE(FileExists(DataFile("Effects.txt"))) << "cancelled: nothing happens";
}

TEST_F(OneOffE2E, StatusSaysWhatIsPendingAndABadLineChangesNothing) {
  StartTray();
  ASSERT_EQ(Cmd("/do \"Power off\" /after-idle 600 /latest 23:59").code, 0u);
  const CmdResult bad = Cmd("/do Suspend /in 5 /soon");
  EXPECT_EQ(bad.code, 1u);
  EXPECT_EQ(bad.err, "ERROR: Unknown option \"/soon\". Type \"HalcyraCmd /?\" for usage.\r\n");
  EXPECT_EQ(bad.out, "");
  EXPECT_EQ(Cmd("/do Nap /in 5").code, 2u);
  EXPECT_EQ(Cmd("/do Suspend /after-exit no-such-program").code, 4u);
  const CmdResult status = Cmd("/status");
  EXPECT_EQ(status.code, 0u);
  EXPECT_NE(status.out.find("Pending: Power off after 600 minutes without input, at 23:59 at the "
                            "latest."),
            std::string::npos)
      << status.out;
}

TEST_F(OneOffE2E, ThePipeIsTheOnlyWayInAndASquattedNameIsServedByNoOne) {
  // The request HalcyraCmd sent by window message before: the tray program takes none.
  StartTray();
  const HWND main = FindWindowOf(*tray_, "TFrmMain", "Halcyra");
  std::string old = "do\nevent=Suspend\ncondition=in\nminutes=0\n";
  COPYDATASTRUCT data{0x48434D44, static_cast<DWORD>(old.size()), old.data()};
  SendMessageA(main, WM_COPYDATA, reinterpret_cast<WPARAM>(main), reinterpret_cast<LPARAM>(&data));
  EXPECT_NE(Cmd("/status").out.find("No request is pending."), std::string::npos);
  tray_.reset();

  // Another program took the pipe's name first: the tray program serves nothing and says so
  // once; HalcyraCmd does not talk to the squatter.
  const std::optional<PeerIdentity> self = OwnIdentity();
  ASSERT_TRUE(self);
  const UniqueHandle squatter(CreateNamedPipeA(OneOffPipeName(*self).c_str(), PIPE_ACCESS_DUPLEX,
                                               PIPE_TYPE_MESSAGE, 1, 4096, 4096, 0, nullptr));
  ASSERT_TRUE(squatter);
  StartTray();
  ASSERT_TRUE(WaitUntil([] { return FileExists(DataFile("Effects.txt")); }, 5s));
  const std::string effects = ReadFileText(DataFile("Effects.txt"));
  EXPECT_EQ(effects.rfind("ReportEvent 9 Halcyra does not take requests from HalcyraCmd", 0), 0u)
      << effects;
  EXPECT_EQ(effects.find("\r\n"), effects.size() - 2) << "one line";
  // Wine's default owner of a new object is not the user: the squatter's pipe is refused
  // before a byte is sent, as a pipe of another user is on Windows.
  const CmdResult answer = Cmd("/status");
  EXPECT_EQ(answer.code, 5u) << answer.out;
  EXPECT_NE(answer.err.find("is served by a program of another user"), std::string::npos)
      << answer.err;
}

// The text of an item of another process's drop-down list (it comes back as UTF-16).
std::string ComboItem(HWND combo, int index) {
  wchar_t text[256] = {};
  if (SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) >= 255) return "";
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  std::string narrow;
  for (const wchar_t* c = text; *c; ++c) narrow += static_cast<char>(*c);
  return narrow;
}

// The icon's menu item, as a user chooses it; the password prompt answered when one comes.
HWND OpenOnceWindow(const AppProcess& tray, HWND main, const std::string& password = "") {
  PostMessageA(main, WM_COMMAND, main_ids::kMnuOnce, 0);
  if (!password.empty()) {
    const HWND prompt = FindWindowOf(tray, "TFrmPwd", "Please enter the password");
    if (!prompt || !WaitVisible(prompt, true)) return nullptr;
    SetText(GetDlgItem(prompt, password_ids::kEdtPwd), password);
    ClickDialogButton(prompt, IDOK);
  }
  const HWND once = FindWindowOf(tray, "TFrmOnce", "One-off action");
  return once && WaitVisible(once, true) ? once : nullptr;
}

// Chooses a "when" and presses OK; true when the window closed on it.
bool SendFromWindow(HWND once, int when, const std::vector<std::pair<int, std::string>>& fields) {
  SendAndWait(once, WM_COMMAND, MAKEWPARAM(when, BN_CLICKED),
              reinterpret_cast<LPARAM>(GetDlgItem(once, when)));
  for (const auto& [id, text] : fields) SetText(GetDlgItem(once, id), text);
  PostMessageA(once, WM_COMMAND, MAKEWPARAM(once_ids::kOk, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(once, once_ids::kOk)));
  return WaitUntil([once] { return !IsWindow(once) || !IsWindowVisible(once); }, 5s);
}

// From the icon's menu, for users who never open a console: behind the password, each "when"
// sends its request as HalcyraCmd's line would, the icon tells of it, Cancel pending action
// leaves nothing.
TEST_F(OneOffE2E, TheMenusWindowSendsEachWhenAndCancelsWhatIsPending) {
  WriteFileText(DataFile("Halcyra.ini"),
                "[general]\r\nFirstStartDone=True\r\nShowSystemTray=True\r\n[Password]\r\n"
                "Enabled=True\r\nPassword=5EBE2294ECD0E0F08EAB7690D2A6EE69\r\n");
  AppProcess program("sleeper_probe.exe", "window");
  ASSERT_TRUE(WaitUntil([] { return FindWindowA(nullptr, "Sleeper probe") != nullptr; }));
  StartTray();
  const HWND main = FindWindowOf(*tray_, "TFrmMain", "Halcyra");
  PostMessageA(main, WM_COMMAND, main_ids::kMnuOnce, 0);
  const HWND prompt = FindWindowOf(*tray_, "TFrmPwd", "Please enter the password");
  ASSERT_NE(prompt, nullptr) << "the password guards the window";
  ClickDialogButton(prompt, IDCANCEL);
  ASSERT_TRUE(WaitVisible(prompt, false));
  EXPECT_EQ(FindWindowOf(*tray_, "TFrmOnce", "One-off action", 500ms), nullptr) << "refused";

  HWND once = OpenOnceWindow(*tray_, main, "secret");
  ASSERT_NE(once, nullptr);
  EXPECT_EQ(WindowText(GetDlgItem(once, once_ids::kLblPending)), "No one-off action is pending.");
  const HWND programs = GetDlgItem(once, once_ids::kCboProgram);
  bool listed = false;
  for (int i = 0; i < SendMessageA(programs, CB_GETCOUNT, 0, 0); ++i)
    listed = listed || ComboItem(programs, i) == "Sleeper probe - sleeper_probe.exe";
  EXPECT_TRUE(listed) << "the programs with a window";
  SelectComboItem(once, once_ids::kCboEvent, 4);
  ASSERT_TRUE(SendFromWindow(once, once_ids::kRbnIn, {{once_ids::kEdtIn, "600"}}));
  EXPECT_NE(Cmd("/status").out.find("Pending: Suspend at "), std::string::npos);
  EXPECT_TRUE(WaitUntil([] { return FileExists(DataFile("Effects.txt")); }, 5s));
  EXPECT_EQ(ReadFileText(DataFile("Effects.txt")).rfind("NIF_INFO Suspend at ", 0), 0u)
      << "the icon's balloon says what was asked for";

  // Without the password from here on: each "when" and what /status says of it.
  WriteFileText(DataFile("Halcyra.ini"), "[general]\r\nFirstStartDone=True\r\n");
  const struct {
    int when;
    std::vector<std::pair<int, std::string>> fields;
    const char* status;
  } whens[] = {
      {once_ids::kRbnAt, {{once_ids::kEdtAt, "3:07"}}, "Pending: Shutdown at 03:07."},
      {once_ids::kRbnExit, {}, "Pending: Shutdown when sleeper_probe.exe ends."},
      {once_ids::kRbnIdle,
       {{once_ids::kEdtIdle, "45"}},
       "Pending: Shutdown after 45 minutes without input."},
      {once_ids::kRbnQuiet,
       {{once_ids::kEdtQuiet, "30"}, {once_ids::kEdtCpu, "20"}, {once_ids::kEdtNet, "50"}},
       "Pending: Shutdown when the computer is quiet for 30 minutes (0 of 30 quiet minutes"},
  };
  for (const auto& row : whens) {
    once = OpenOnceWindow(*tray_, main);
    ASSERT_NE(once, nullptr) << row.status;
    const HWND list = GetDlgItem(once, once_ids::kCboProgram);
    for (int i = 0; row.when == once_ids::kRbnExit && i < SendMessageA(list, CB_GETCOUNT, 0, 0);
         ++i)
      if (ComboItem(list, i).find("sleeper_probe.exe") != std::string::npos)
        SelectComboItem(once, once_ids::kCboProgram, i);
    ASSERT_TRUE(SendFromWindow(once, row.when, row.fields)) << row.status;
    const std::string status = Cmd("/status").out;
    EXPECT_NE(status.find(row.status), std::string::npos) << status;
  }

  once = OpenOnceWindow(*tray_, main);
  ASSERT_NE(once, nullptr);
  EXPECT_NE(WindowText(GetDlgItem(once, once_ids::kLblPending)).find("quiet for 30 minutes"),
            std::string::npos);
  const CmdResult duringModal = Cmd("/status");
  EXPECT_NE(duringModal.out.find("quiet for 30 minutes"), std::string::npos)
      << "answered while the window's own loop runs: " << duringModal.err;
  ClickDialogButton(once, once_ids::kBtnCancelPending);
  EXPECT_TRUE(WaitUntil(
      [once] {
        return WindowText(GetDlgItem(once, once_ids::kLblPending)) ==
               "No one-off action is pending.";
      },
      5s));
  ClickDialogButton(once, once_ids::kCancel);
  EXPECT_TRUE(WaitUntil([once] { return !IsWindow(once) || !IsWindowVisible(once); }, 5s));
  EXPECT_NE(Cmd("/status").out.find("No request is pending."), std::string::npos);
}

// An exit action that did not end the program leaves the schedule's tick off; a modal window
// then runs its own loop, and HalcyraCmd is still answered.
TEST_F(OneOffE2E, AfterAnExitActionAModalWindowStillLetsTheCommandIn) {
  StartTray();
  ASSERT_EQ(Cmd("/do Shutdown /in 0").code, 0u);
  ASSERT_TRUE(WaitUntil(
      [] {
        return ReadFileText(DataFile("Effects.txt")).find("ExitWindowsEx") != std::string::npos;
      },
      8s));
  const HWND once = OpenOnceWindow(*tray_, FindWindowOf(*tray_, "TFrmMain", "Halcyra"));
  ASSERT_NE(once, nullptr);
  const CmdResult status = Cmd("/status");
  EXPECT_NE(status.out.find("No request is pending."), std::string::npos) << status.err;
  ClickDialogButton(once, once_ids::kCancel);
}

// The host's processors' load over that time, in percent, as the program reads it.
double HostLoad(std::chrono::milliseconds over) {
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  FILETIME idle0, kernel0, user0, idle1, kernel1, user1;
  GetSystemTimes(&idle0, &kernel0, &user0);
  std::this_thread::sleep_for(over);
  GetSystemTimes(&idle1, &kernel1, &user1);
  const double all =
      static_cast<double>(ticks(kernel1) - ticks(kernel0) + ticks(user1) - ticks(user0));
  const double idle = static_cast<double>(ticks(idle1) - ticks(idle0));
  return all > 0 ? 100 * (all - idle) / all : 0;
}

// "When the computer is quiet": Wine reads the processors' times from the host, which other
// work may share or a quota may limit. The test measures the host's load without and with busy
// loops of its own (two for each processor) and asks for a limit halfway: above it while the
// loops run, below it once they end, whatever else the host does. The end-to-end build's
// minutes last 3 seconds.
TEST_F(OneOffE2E, AfterQuietWaitsWhileTheProcessorsAreBusyAndActsOnceTheyAreIdle) {
  StartTray();
  // Other work that holds the host leaves no room for the loops to make a difference: it is
  // waited out for a minute, and named if it stays.
  double without = HostLoad(3s);
  for (int tries = 0; tries < 20 && without > 60; ++tries) without = HostLoad(3s);
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  std::vector<std::unique_ptr<AppProcess>> busy;
  for (DWORD i = 0; i < 2 * system.dwNumberOfProcessors; ++i)
    busy.push_back(std::make_unique<AppProcess>("sleeper_probe.exe", "busy"));
  const double with = HostLoad(3s);
  ASSERT_GE(with - without, 20)
      << "the host gave this test's loops too little time to tell busy from quiet: " << without
      << " % without them, " << with << " % with them";
  const int limit = static_cast<int>((without + with) / 2);
  const CmdResult result =
      Cmd("/do Suspend /after-quiet 2 /cpu " + std::to_string(limit) + " /net 1000000");
  ASSERT_EQ(result.code, 0u) << result.err;
  // Three minutes measured, none of them quiet: the sign that the rule had its chance.
  ASSERT_TRUE(WaitUntil(
      [] {
        return Cmd("/status").out.find("(0 of 2 quiet minutes; processor ") != std::string::npos;
      },
      20s))
      << Cmd("/status").out;
  std::this_thread::sleep_for(9s);
  EXPECT_FALSE(FileExists(DataFile("Effects.txt"))) << "three busy minutes";
  EXPECT_NE(Cmd("/status").out.find("(0 of 2 quiet minutes; processor "), std::string::npos);
  busy.clear();
  EXPECT_TRUE(WaitUntil([] { return ReadFileText(DataFile("Effects.txt")) == kSuspended; }, 90s))
      << ReadFileText(DataFile("Effects.txt")) << Cmd("/status").out;
}

// A call without arguments is a mistake in a script: the usage, and an exit code that fails.
TEST_F(OneOffE2E, NoArgumentsPrintsTheUsageAndFails) {
  const CmdResult none = Cmd("");
  EXPECT_EQ(none.code, 1u);
  EXPECT_EQ(none.out.rfind("HalcyraCmd asks the Halcyra tray program", 0), 0u) << none.out;
  EXPECT_NE(none.out.find("\r\nExamples:\r\n"), std::string::npos) << none.out;
  EXPECT_EQ(none.err, "");
  const CmdResult asked = Cmd("/?");
  EXPECT_EQ(asked.code, 0u);
  EXPECT_EQ(asked.out, none.out);
}

TEST_F(OneOffE2E, WithoutATrayProgramTheCommandStartsItAndTheRequestIsHeld) {
  EXPECT_EQ(Cmd("/status").code, 5u) << "nobody to ask";
  const CmdResult result = Cmd("/do Hibernate /after-idle 600");
  EXPECT_EQ(result.code, 0u) << result.err;
  const HWND main = FindWindowA("TFrmMain", "Halcyra");
  ASSERT_NE(main, nullptr) << "the tray program runs";
  EXPECT_NE(Cmd("/status").out.find("Pending: Hibernate after 600 minutes"), std::string::npos);
  // The program the command started ends as Exit ends it: without a process of ours to end.
  DWORD processId = 0;
  GetWindowThreadProcessId(main, &processId);
  const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
  ASSERT_NE(process, nullptr);
  TerminateProcess(process, 0);
  WaitForSingleObject(process, 5000);
  CloseHandle(process);
}

}  // namespace
}  // namespace halcyra::e2e
