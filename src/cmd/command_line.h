// The command line of HalcyraCmd.exe: Windows-style options ("/" or "-", any case) that ask the
// tray program to do one thing once, cancel that, or say what is pending.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "one_off/pending_one_off.h"

namespace halcyra {

enum class CmdAction { Do, Cancel, Status, Help };

struct CmdLine {
  CmdAction action = CmdAction::Help;
  OneOffRequest request;  // for Do
  int helpExitCode = 0;   // for Help: a call without arguments is a mistake, not a question
};

// Exit codes of HalcyraCmd.exe. 0 means done for /cancel and /status, and for /do that the tray
// program accepted the request: the action itself comes later, or not at all.
namespace cmd_exit {
inline constexpr int kDone = 0;
inline constexpr int kBadOption = 1;
inline constexpr int kUnknownEvent = 2;
inline constexpr int kBadTime = 3;
inline constexpr int kNoProcess = 4;
inline constexpr int kNoTrayProgram = 5;
inline constexpr int kRefused = 6;
}  // namespace cmd_exit

struct CmdError {
  int exitCode = cmd_exit::kBadOption;
  std::string message;  // what is wrong, as a sentence without its full stop
};

// The one line on standard error, as Windows' console tools write it: "ERROR: <what>." and,
// for a mistake in the command line (exit codes 1 to 3), where the usage is.
std::string CmdErrorLine(int exitCode, const std::string& what);

// The arguments after the program's name.
std::variant<CmdLine, CmdError> ParseCmdLine(const std::vector<std::string>& arguments);

extern const char* const kCmdUsage;

}  // namespace halcyra
