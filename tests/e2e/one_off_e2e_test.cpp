// HalcyraCmd from end to end: one-off requests handed to the end-to-end tray program, which
// journals the action it performs into Effects.txt.
#include <gtest/gtest.h>

#include <thread>

#include "core/peer_identity.h"
#include "driver/driver_win.h"
#include "platform/win32/process_identity_win.h"

namespace halcyra::e2e {
namespace {

struct CmdResult {
  DWORD code = 0xFFFFFFFF;
  std::string out, err;
};

std::string Drain(HANDLE pipe) {
  std::string text;
  char buffer[512];
  DWORD read = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0)
    text.append(buffer, read);
  return text;
}

// Runs HalcyraCmd-e2e.exe with the arguments; its output and exit code.
CmdResult Cmd(const std::string& arguments) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
  CreatePipe(&outRead, &outWrite, &inherit, 0);
  CreatePipe(&errRead, &errWrite, &inherit, 0);
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION info{};
  std::string line = "\"" + AppProcess::ExePath("HalcyraCmd-e2e.exe") + "\" " + arguments;
  CmdResult result;
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                     nullptr, &startup, &info)) {
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    result.out = Drain(outRead);
    result.err = Drain(errRead);
    WaitForSingleObject(info.hProcess, 60000);
    GetExitCodeProcess(info.hProcess, &result.code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  } else {
    CloseHandle(outWrite);
    CloseHandle(errWrite);
  }
  CloseHandle(outRead);
  CloseHandle(errRead);
  return result;
}

constexpr const char* kSuspended = "SetSystemPowerState 1 1\r\n";

class OneOffE2E : public testing::Test {
 protected:
  void SetUp() override {
    RemoveFile(DataFile("Effects.txt"));
    WriteFileText(DataFile("Halcyra.ini"), "[general]\r\nFirstStartDone=True\r\nDuration=1\r\n");
  }
  void StartTray() {
    tray_.emplace();
    ASSERT_NE(FindWindowOf(*tray_, "TFrmMain", "Halcyra"), nullptr);
  }
  std::optional<AppProcess> tray_;
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
  ASSERT_EQ(Cmd("/do Suspend /after-exit sleeper_probe").code, 0u);
  std::this_thread::sleep_for(1500ms);
  // A request that fired is dropped: still pending, after the ticks, is the sign it did not.
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
  second.Terminate();
  // A request due at once is the sign that ticks ran after the process ended: it hibernates,
  // and nothing came before it.
  ASSERT_EQ(Cmd("/do Hibernate /in 0").code, 0u);
  ASSERT_TRUE(WaitUntil([] { return FileExists(DataFile("Effects.txt")); }, 8s));
  EXPECT_EQ(ReadFileText(DataFile("Effects.txt")), "SetSystemPowerState 0 1\r\n")
      << "cancelled: nothing happens";
}

TEST_F(OneOffE2E, StatusSaysWhatIsPendingAndABadLineChangesNothing) {
  StartTray();
  ASSERT_EQ(Cmd("/do \"Power off\" /after-idle 600 /latest 23:59").code, 0u);
  const CmdResult bad = Cmd("/do Suspend /in 5 /soon");
  EXPECT_EQ(bad.code, 1u);
  EXPECT_EQ(bad.err, "ERROR: Unknown option \"/soon\". Type \"HalcyraCmd /?\" for usage.\r\n");
  EXPECT_EQ(bad.out, "");
  EXPECT_EQ(Cmd("/do Sleep /in 5").code, 2u);
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
