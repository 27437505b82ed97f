// The sources of a one-off request's conditions on Windows: processes of this session held by
// their handles, the programs with windows, and the session's last input.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/process_waits.h"

namespace halcyra {

class Win32ProcessWaits final : public ProcessWaits {
 public:
  std::unique_ptr<ProcessWait> Watch(const std::string& imageName, unsigned processId,
                                     std::uint64_t createdAt) override;
  std::vector<RunningProgram> WindowedPrograms() const override;
};

// When the process of that number was created (FILETIME units); 0 when it cannot be opened.
std::uint64_t ProcessCreationTime(unsigned processId);

class Win32InputIdle final : public InputIdle {
 public:
  std::uint64_t IdleMilliseconds() const override;
};

}  // namespace halcyra
