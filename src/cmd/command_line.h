// The command line of HalcyraCmd.exe: Windows-style options ("/" or "-", any case) that ask the
// tray program to do one thing once, cancel that, or say what is pending.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "schedule/one_off.h"

namespace halcyra {

enum class CmdAction { Do, Cancel, Status, Help };

struct CmdLine {
  CmdAction action = CmdAction::Help;
  OneOffRequest request;  // for Do
};

// Exit codes of HalcyraCmd.exe.
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
  std::string message;  // one line, for standard error
};

// The arguments after the program's name.
std::variant<CmdLine, CmdError> ParseCmdLine(const std::vector<std::string>& arguments);

extern const char* const kCmdUsage;

}  // namespace halcyra
