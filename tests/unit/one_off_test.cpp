// One-off requests: HalcyraCmd's command line, and when a pending request falls due.
#include <gtest/gtest.h>

#include "cmd/command_line.h"
#include "core/command_line_words.h"
#include "core/peer_identity.h"
#include "one_off/pending_one_off.h"
#include "support/fakes.h"

namespace halcyra {
namespace {

std::variant<CmdLine, CmdError> Parse(std::vector<std::string> arguments) {
  return ParseCmdLine(arguments);
}

TEST(CmdLineParser, GoodLinesBecomeRequestsAndBadOnesAnExitCodeAndOneLine) {
  const auto good = [](std::vector<std::string> arguments) {
    const auto parsed = ParseCmdLine(arguments);
    EXPECT_TRUE(std::holds_alternative<CmdLine>(parsed)) << std::get<CmdError>(parsed).message;
    return std::holds_alternative<CmdLine>(parsed) ? std::get<CmdLine>(parsed) : CmdLine{};
  };
  CmdLine line = good({"/do", "power off", "/in", "90"});
  EXPECT_EQ(line.action, CmdAction::Do);
  EXPECT_EQ(line.request.event, "Power off") << "the word as the program spells it";
  EXPECT_EQ(line.request.condition, OneOffCondition::In);
  EXPECT_EQ(line.request.minutes, 90u);
  // The names Windows gives them stand for the program's words.
  EXPECT_EQ(good({"/do", "sleep", "/in", "5"}).request.event, "Suspend");
  EXPECT_EQ(good({"/do", "Restart", "/in", "5"}).request.event, "Reboot");
  EXPECT_EQ(good({"/do", "SIGN OUT", "/in", "5"}).request.event, "Log off");
  line = good({"-DO", "Suspend", "-At", "7:05"});
  EXPECT_EQ(line.request.at, (std::pair<int, int>{7, 5}));
  line = good({"/do", "Shutdown", "/after-exit", "handbrake", "/latest", "23:30"});
  EXPECT_EQ(line.request.imageName, "handbrake.exe");
  EXPECT_EQ(line.request.latest, (std::pair<int, int>{23, 30}));
  EXPECT_EQ(good({"/do", "Reboot", "/after-exit", "4711"}).request.processId, 4711u);
  EXPECT_EQ(good({"/do", "Hibernate", "/after-idle", "20"}).request.condition,
            OneOffCondition::AfterIdle);
  line = good({"/do", "Suspend", "/after-quiet", "15", "/NET", "50", "/latest", "6:00"});
  EXPECT_EQ(line.request.condition, OneOffCondition::AfterQuiet);
  EXPECT_EQ(line.request.minutes, 15u);
  EXPECT_EQ(line.request.processorPercent, 10u) << "the default";
  EXPECT_EQ(line.request.networkKBps, 50u);
  EXPECT_EQ(good({"/do", "Suspend", "/after-quiet", "1", "/cpu", "100"}).request.processorPercent,
            100u);
  EXPECT_EQ(good({"/do", "Log off", "/in", "0"}).request.minutes, 0u) << "0 is now";
  EXPECT_EQ(good({"/do", "Log off", "/in", "10080"}).request.minutes, 10080u) << "a week";
  EXPECT_EQ(good({"/CANCEL"}).action, CmdAction::Cancel);
  EXPECT_EQ(good({"/status"}).action, CmdAction::Status);
  EXPECT_EQ(good({"/?"}).action, CmdAction::Help);
  EXPECT_EQ(good({"/?"}).helpExitCode, cmd_exit::kDone);
  EXPECT_EQ(good({}).action, CmdAction::Help) << "no arguments: the usage";
  EXPECT_EQ(good({}).helpExitCode, cmd_exit::kBadOption) << "and a failure";

  struct Bad {
    std::vector<std::string> arguments;
    int code;
    const char* says;
  };
  const Bad bad[] = {
      {{"/do"}, cmd_exit::kBadOption, "Option /do needs a value"},
      {{"status"}, cmd_exit::kBadOption, "Invalid argument \"status\""},
      {{"/do", "Nap", "/in", "5"}, cmd_exit::kUnknownEvent, "Unknown event \"Nap\""},
      {{"/do", "Suspend"}, cmd_exit::kBadOption, "/do needs /in"},
      {{"/do", "Suspend", "/in"}, cmd_exit::kBadOption, "Option /in needs a value"},
      {{"/do", "Suspend", "/in", "-5"}, cmd_exit::kBadTime, "Invalid number of minutes"},
      {{"/do", "Suspend", "/in", "10081"}, cmd_exit::kBadTime, "(0-10080)"},
      {{"/do", "Suspend", "/in", "99999999"}, cmd_exit::kBadTime, "(0-10080)"},
      {{"/do", "Suspend", "/after-idle", "0"}, cmd_exit::kBadTime, "(1-10080)"},
      {{"/do", "Suspend", "/at", "24:00"}, cmd_exit::kBadTime, "Invalid time \"24:00\""},
      {{"/do", "Suspend", "/at", "7.30"}, cmd_exit::kBadTime, "Invalid time"},
      {{"/do", "Suspend", "/at", "7:5"}, cmd_exit::kBadTime, "Invalid time"},
      {{"/do", "Suspend", "/in", "5", "/at", "7:00"}, cmd_exit::kBadOption, "only one of"},
      {{"/do", "Suspend", "/in", "5", "/latest", "7:00"}, cmd_exit::kBadOption, "/latest works"},
      {{"/do", "Suspend", "/after-exit", "C:\\x.exe"}, cmd_exit::kBadOption, "Invalid program"},
      {{"/do", "Suspend", "/after-idle", "5", "/latest", "7:00", "/latest", "8:00"},
       cmd_exit::kBadOption,
       "Option /latest given twice"},
      {{"/cancel", "/in", "5"}, cmd_exit::kBadOption, "take no other option"},
      {{"/do", "Suspend", "/after-quiet", "0"}, cmd_exit::kBadTime, "(1-10080)"},
      {{"/do", "Suspend", "/after-quiet", "5", "/cpu", "0"}, cmd_exit::kBadTime, "(1-100)"},
      {{"/do", "Suspend", "/after-quiet", "5", "/cpu", "101"}, cmd_exit::kBadTime, "(1-100)"},
      {{"/do", "Suspend", "/after-quiet", "5", "/net", "1000001"},
       cmd_exit::kBadTime,
       "(1-1000000)"},
      {{"/do", "Suspend", "/after-quiet", "5", "/net", "5", "/net", "6"},
       cmd_exit::kBadOption,
       "given twice"},
      {{"/do", "Suspend", "/after-idle", "5", "/cpu", "5"},
       cmd_exit::kBadOption,
       "only with /after-quiet"},
      {{"/cancel", "/status"}, cmd_exit::kBadOption, "only one of /do"},
      {{"/do", "Suspend", "/in", "5", "/soon"}, cmd_exit::kBadOption, "Unknown option \"/soon\""},
  };
  for (const Bad& row : bad) {
    const auto parsed = Parse(row.arguments);
    ASSERT_TRUE(std::holds_alternative<CmdError>(parsed)) << row.says;
    const CmdError& error = std::get<CmdError>(parsed);
    EXPECT_EQ(error.exitCode, row.code) << error.message;
    EXPECT_NE(error.message.find(row.says), std::string::npos) << error.message;
    EXPECT_EQ(error.message.find('\n'), std::string::npos) << "one line";
    EXPECT_EQ(CmdErrorLine(error.exitCode, error.message),
              "ERROR: " + error.message + ". Type \"HalcyraCmd /?\" for usage.");
  }
  EXPECT_EQ(CmdErrorLine(cmd_exit::kRefused, "The request was not understood."),
            "ERROR: The request was not understood.")
      << "no usage hint when the command line was right, and one full stop";
}

// The usage reads like a Windows console tool's: sections in their order, every line inside
// an 80-column console, every parameter with its range and every exit code explained.
TEST(CmdLineParser, UsageHasTheSectionsOfAConsoleToolAndFitsItsWidth) {
  const std::string usage = kCmdUsage;
  std::vector<std::string> lines;
  for (size_t start = 0, end; start < usage.size(); start = end + 1) {
    end = usage.find('\n', start);
    ASSERT_NE(end, std::string::npos) << "every line ends";
    lines.push_back(usage.substr(start, end - start));
  }
  for (const std::string& line : lines) EXPECT_LE(line.size(), 79u) << line;
  size_t at = 0;
  for (const char* section : {"Syntax:", "Parameters:", "Exit codes:", "Examples:"}) {
    const size_t found = usage.find(std::string("\n") + section + "\n", at);
    EXPECT_NE(found, std::string::npos) << section << " missing or out of order";
    at = found == std::string::npos ? at : found;
  }
  const std::string exitCodes = usage.substr(usage.find("Exit codes:"));
  for (int code = cmd_exit::kDone; code <= cmd_exit::kRefused; ++code)
    EXPECT_NE(exitCodes.find("\n    " + std::to_string(code) + "  "), std::string::npos) << code;
  for (const char* range : {"/in minutes          After 0-10080", "0:00-23:59 (24-hour clock)",
                            "/after-idle minutes  After 1-10080", "1-100 %", "1-1000000 KB/s"})
    EXPECT_NE(usage.find(range), std::string::npos) << range;
  // Every example is a line the parser takes.
  const std::string examples = usage.substr(usage.find("Examples:"));
  for (size_t start = examples.find("    HalcyraCmd "); start != std::string::npos;
       start = examples.find("    HalcyraCmd ", start + 1)) {
    const std::string example = examples.substr(start + 4, examples.find('\n', start) - start - 4);
    const std::vector<std::string> words = SplitCommandLine(example);
    EXPECT_TRUE(std::holds_alternative<CmdLine>(ParseCmdLine(words))) << example;
  }
}

class FakeWait final : public ProcessWait {
 public:
  FakeWait(unsigned count, const bool& ended, bool notices = false)
      : count_(count), ended_(ended), notices_(notices) {}
  unsigned Count() const override { return count_; }
  bool Ended() const override { return ended_; }
  bool NoticesEnd() const override { return notices_; }

 private:
  unsigned count_;
  const bool& ended_;
  bool notices_;
};

LocalTime At(int day, int hour, int minute, int second = 0) {
  LocalTime t{2026, 12, 0, 0, 0, 0, 0, 0};
  t.day = static_cast<std::uint16_t>(day);
  t.hour = static_cast<std::uint16_t>(hour);
  t.minute = static_cast<std::uint16_t>(minute);
  t.second = static_cast<std::uint16_t>(second);
  return t;
}

TEST(PendingOneOffRules, EachConditionFallsDueWhenItHoldsOrAtTheLatestTime) {
  OneOffRequest request{"Power off", OneOffCondition::In, 90, {0, 0}, "", 0, std::nullopt};
  PendingOneOff in(request, At(8, 22, 0, 30), 5000, nullptr);
  EXPECT_FALSE(in.Due(At(8, 23, 30, 29), 5000 + 90 * 60000 - 1, 0));
  EXPECT_TRUE(in.Due(At(8, 23, 30, 30), 5000 + 90 * 60000, 0)) << "ninety minutes to the second";
  EXPECT_EQ(in.Describe(Wording::English), "Power off at 23:30");
  request.minutes = 0;
  EXPECT_TRUE(
      PendingOneOff(request, At(8, 22, 0, 30), 5000, nullptr).Due(At(8, 22, 0, 30), 5000, 0));

  // At: this minute counts; a time gone by today is tomorrow's.
  request = {"Suspend", OneOffCondition::At, 0, {22, 0}, "", 0, std::nullopt};
  EXPECT_TRUE(PendingOneOff(request, At(8, 22, 0, 59), 0, nullptr).Due(At(8, 22, 0, 59), 0, 0));
  PendingOneOff past(request, At(8, 22, 1), 0, nullptr);
  EXPECT_FALSE(past.Due(At(8, 23, 59, 59), 0, 0));
  EXPECT_FALSE(past.Due(At(9, 21, 59, 59), 0, 0));
  EXPECT_TRUE(past.Due(At(9, 22, 0), 0, 0));
  EXPECT_EQ(past.Describe(Wording::English), "Suspend at 22:00");

  // After exit: read from the handles held since arrival; none left at arrival is at once.
  bool ended = false;
  request = {"Shutdown", OneOffCondition::AfterExit, 0, {0, 0}, "handbrake.exe", 0, {{23, 30}}};
  PendingOneOff render(request, At(8, 20, 0), 0, std::make_unique<FakeWait>(2, ended));
  EXPECT_FALSE(render.Due(At(8, 21, 0), 0, 0));
  EXPECT_TRUE(render.Due(At(8, 23, 30), 0, 0)) << "the latest time, before the condition";
  ended = true;
  EXPECT_TRUE(render.Due(At(8, 21, 0), 0, 0));
  EXPECT_EQ(render.Describe(Wording::English),
            "Shutdown when handbrake.exe ends, at 23:30 at the latest");
  EXPECT_TRUE(PendingOneOff(request, At(8, 20, 0), 0, std::make_unique<FakeWait>(0, ended))
                  .Due(At(8, 20, 0), 0, 0));

  // After idle: the session's input, read at each tick.
  request = {"Hibernate", OneOffCondition::AfterIdle, 20, {0, 0}, "", 0, std::nullopt};
  PendingOneOff idle(request, At(8, 20, 0), 0, nullptr);
  EXPECT_FALSE(idle.Due(At(8, 20, 30), 0, 20 * 60000 - 1));
  EXPECT_TRUE(idle.Due(At(8, 20, 30), 0, 20 * 60000));
}

// How long the tray may sleep for a request: what a count or the clock tells, and a second for
// what only a look can tell; the latest time cuts any of them short.
TEST(PendingOneOffRules, TheNextLookComesWhenTheConditionCanFirstHold) {
  OneOffRequest request{"Power off", OneOffCondition::In, 90, {0, 0}, "", 0, std::nullopt};
  const PendingOneOff in(request, At(8, 22, 0, 30), 5000, nullptr);
  EXPECT_EQ(in.MsUntilNextLook(At(8, 22, 30, 30), 5000 + 30 * 60000, 0), 60 * 60000u);
  EXPECT_EQ(in.MsUntilNextLook(At(8, 23, 31), 5000 + 91 * 60000, 0), 0u);
  request = {"Suspend", OneOffCondition::At, 0, {22, 0}, "", 0, {{21, 50}}};
  const PendingOneOff at(request, At(8, 21, 0, 15), 0, nullptr);
  EXPECT_EQ(at.MsUntilNextLook(At(8, 21, 0, 15), 0, 0), 50 * 60000u - 15000 + 100)
      << "the latest time first";
  request.latest.reset();
  EXPECT_EQ(
      PendingOneOff(request, At(8, 21, 0, 15), 0, nullptr).MsUntilNextLook(At(8, 21, 59, 59), 0, 0),
      1100u)
      << "the start of 22:00 and its margin";
  request = {"Hibernate", OneOffCondition::AfterIdle, 20, {0, 0}, "", 0, std::nullopt};
  EXPECT_EQ(
      PendingOneOff(request, At(8, 20, 0), 0, nullptr).MsUntilNextLook(At(8, 20, 5), 0, 15 * 60000),
      5 * 60000u)
      << "input meanwhile only moves the look later";
  bool ended = false;
  request = {"Shutdown", OneOffCondition::AfterExit, 0, {0, 0}, "handbrake.exe", 0, std::nullopt};
  EXPECT_EQ(PendingOneOff(request, At(8, 20, 0), 0, std::make_unique<FakeWait>(1, ended))
                .MsUntilNextLook(At(8, 20, 0), 0, 0),
            1000u);
  EXPECT_EQ(PendingOneOff(request, At(8, 20, 0), 0, std::make_unique<FakeWait>(1, ended, true))
                .MsUntilNextLook(At(8, 20, 0), 0, 0),
            kNoLookMs)
      << "the end is heard of as it happens";
  request.latest = {{20, 30}};
  EXPECT_EQ(PendingOneOff(request, At(8, 20, 0), 0, std::make_unique<FakeWait>(1, ended, true))
                .MsUntilNextLook(At(8, 20, 0), 0, 0),
            30 * 60000u + 100)
      << "but the latest time is looked at";
}

// The tick count, not the local clock: a clock set back or forward, or a daylight-saving
// switch, neither hastens nor delays "in 90 minutes".
TEST(PendingOneOffRules, InCountsOnTheTickWhateverTheClockDoes) {
  const OneOffRequest request{"Power off", OneOffCondition::In, 90, {0, 0}, "", 0, std::nullopt};
  PendingOneOff forward(request, At(8, 22, 0), 1000, nullptr);
  EXPECT_FALSE(forward.Due(At(9, 2, 0), 1000 + 60 * 60000, 0)) << "the clock jumped three hours";
  EXPECT_TRUE(forward.Due(At(9, 2, 30), 1000 + 90 * 60000, 0));
  PendingOneOff back(request, At(8, 22, 0), 1000, nullptr);
  EXPECT_TRUE(back.Due(At(8, 22, 30), 1000 + 90 * 60000, 0)) << "the clock went back an hour";
}

// "When the computer goes quiet": the load is read on each tick while such a request waits,
// and never for any other; the line says how far it is.
TEST(PendingOneOffRules, AfterQuietReadsTheLoadOnlyWhileItWaitsAndSaysHowFarItIs) {
  test::FakeSystemLoad load;
  OneOffRequest idle{"Hibernate", OneOffCondition::AfterIdle, 20, {0, 0}, "", 0, std::nullopt};
  PendingOneOff other(idle, At(8, 20, 0), 0, nullptr, &load);
  other.Due(At(8, 20, 1), 1000, 0);
  EXPECT_EQ(load.samples, 0) << "nothing is read for another condition";
  EXPECT_EQ(other.DescribeShort(Wording::English), "Hibernate after 20 minutes without input");
  idle.minutes = 1;
  EXPECT_EQ(PendingOneOff(idle, At(8, 20, 0), 0, nullptr, &load).DescribeShort(Wording::English),
            "Hibernate after 1 minute without input");

  OneOffRequest quiet{"Power off", OneOffCondition::AfterQuiet, 2, {0, 0}, "", 0, {{23, 30}}};
  quiet.networkKBps = 50;
  load.next.interfaces->push_back({1, 0, 0});
  PendingOneOff pending(quiet, At(8, 20, 0), 0, nullptr, &load);
  EXPECT_EQ(load.samples, 1) << "the first minute starts at arrival";
  EXPECT_EQ(pending.Describe(Wording::English),
            "Power off when the computer is quiet for 2 minutes (0 of 2 quiet minutes), at 23:30 "
            "at the latest");
  ProcessorTimes& times = *load.next.processors;
  std::uint64_t tick = 0;
  const auto minute = [&](std::uint64_t busy, std::uint64_t octets) {
    times.kernel += 1000;
    times.idle += 1000 - busy;
    (*load.next.interfaces)[0].in += octets;
    tick += 60000;
    return pending.Due(At(8, 21, 0), tick, 0);
  };
  EXPECT_FALSE(minute(40, 60 * 1024 * 60)) << "60 KB/s is busy";
  EXPECT_TRUE(pending.TakeProgress());
  EXPECT_FALSE(pending.TakeProgress()) << "once a minute";
  EXPECT_EQ(pending.MsUntilNextLook(At(8, 21, 0), tick + 15000, 0), 45000u)
      << "its counters only grow: one look as each minute ends";
  EXPECT_FALSE(minute(40, 1024 * 60));
  EXPECT_EQ(pending.DescribeShort(Wording::English),
            "Power off when the computer is quiet for 2 minutes (1 of 2 quiet minutes; processor "
            "4 %, network 1 KB/s)");
  EXPECT_TRUE(minute(0, 0));
  EXPECT_EQ(load.samples, 4);
}

// The tray program's side of the request: the text comes back the same, and a body that is
// wrong in any one way is refused as a whole.
TEST(OneOffRequestBody, RoundTripsAndEachFaultIsRefused) {
  const OneOffRequest request{"Hibernate", OneOffCondition::AfterIdle, 20, {0, 0}, "", 0, {{6, 5}}};
  EXPECT_EQ(DecodeRequest(EncodeRequest(request)), request);
  EXPECT_EQ(
      DecodeRequest("event=Suspend\ncondition=in\nminutes=5").value_or(OneOffRequest{}).minutes, 5u)
      << "the last line needs no end";
  for (const char* bad : {
           "event=Suspend\ncondition=soon\n",            // an unknown condition
           "event=Suspend\nminutes=5\n",                 // no condition
           "condition=in\nminutes=5\n",                  // no event
           "event=\ncondition=in\n",                     // an empty event
           "event=Suspend\ncondition=in\nminutes\n",     // a line without "="
           "event=Suspend\ncondition=in\ncolour=red\n",  // an unknown key
           "event=Suspend\ncondition=in\nminutes=-1\n",  // a negative number
           "event=Suspend\ncondition=in\nminutes=5x\n",  // no number
           "event=Suspend\ncondition=in\npid= 7\n",      // a blank before the number
           "event=Suspend\ncondition=at\nat=7h\n",       // no time
           "event=Suspend\ncondition=at\nat=\n",         // an empty time
           "event=Suspend\ncondition=after-idle\nminutes=5\nlatest=x\n",  // a bad latest time
       })
    EXPECT_FALSE(DecodeRequest(bad).has_value()) << bad;
}

TEST(OneOffChannel, EachEndTrustsOnlyItsOwnUserSessionAndLevel) {
  const PeerIdentity self{"S-1-5-21-1-2-3-1001", 2, 0x2000};
  EXPECT_EQ(OneOffPipeName(self), "\\\\.\\pipe\\Halcyra-2-S-1-5-21-1-2-3-1001");
  const auto other = [&](std::string sid, unsigned session, unsigned level) {
    return std::optional<PeerIdentity>(PeerIdentity{std::move(sid), session, level});
  };
  EXPECT_TRUE(ClientTrusted(self, other(self.userSid, 2, 0x2000)));
  EXPECT_TRUE(ClientTrusted(self, other(self.userSid, 2, 0x3000))) << "elevated is higher";
  EXPECT_FALSE(ClientTrusted(self, other(self.userSid, 2, 0x1000))) << "a sandboxed process";
  EXPECT_FALSE(ClientTrusted(self, other("S-1-5-21-1-2-3-1002", 2, 0x2000))) << "another user";
  EXPECT_FALSE(ClientTrusted(self, other(self.userSid, 3, 0x2000))) << "another session";
  EXPECT_FALSE(ClientTrusted(self, std::nullopt)) << "unreadable is nobody";
  EXPECT_FALSE(ClientTrusted({"", 2, 0x2000}, other("", 2, 0x2000))) << "two unknowns";

  EXPECT_TRUE(ServerTrusted(self, other(self.userSid, 2, 0x3000)));
  EXPECT_FALSE(ServerTrusted(self, other(self.userSid, 2, 0x1000))) << "a sandboxed squatter";
  EXPECT_TRUE(ServerTrusted({self.userSid, 2, 0x3000}, other(self.userSid, 2, 0x2000)))
      << "an elevated HalcyraCmd talks to the ordinary tray program";
  EXPECT_FALSE(ServerTrusted(self, other("S-1-5-18", 2, 0x4000))) << "a squatter of another user";
  EXPECT_FALSE(ServerTrusted(self, other(self.userSid, 0, 0x2000))) << "another session";
  EXPECT_FALSE(ServerTrusted(self, std::nullopt));

  // Neither end runs for a service account or in session 0, nor for an account it cannot read.
  EXPECT_EQ(ServiceAccountRefusal(self), "");
  EXPECT_EQ(ServiceAccountRefusal(PeerIdentity{"S-1-5-18", 2, 0x4000}), "it runs as LocalSystem");
  EXPECT_EQ(ServiceAccountRefusal(PeerIdentity{"S-1-5-19", 0, 0x4000}), "it runs as LocalService");
  EXPECT_EQ(ServiceAccountRefusal(PeerIdentity{"S-1-5-20", 0, 0x4000}),
            "it runs as NetworkService");
  EXPECT_EQ(ServiceAccountRefusal(PeerIdentity{self.userSid, 0, 0x2000}),
            "it runs in session 0, where no user works");
  EXPECT_EQ(ServiceAccountRefusal(std::nullopt), "its own account could not be read");
  EXPECT_EQ(ServiceAccountRefusal(PeerIdentity{"", 2, 0x2000}),
            "its own account could not be read");
}

}  // namespace
}  // namespace halcyra
