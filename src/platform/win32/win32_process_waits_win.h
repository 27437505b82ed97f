// The sources of a one-off request's conditions on Windows: processes of this session held by
// their handles, the programs with windows, and the session's last input.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/process_waits.h"

namespace halcyra {

class Win32ProcessWaits final : public ProcessWaits {
 public:
  // Called, from a thread of the system's pool, as each process a wait made from now on holds
  // ends; it must do no more than post to the window's thread.
  void WhenAProcessEnds(std::function<void()> ended) { ended_ = std::move(ended); }
  std::unique_ptr<ProcessWait> Watch(const std::string& imageName, unsigned processId,
                                     std::uint64_t createdAt) override;
  std::vector<RunningProgram> WindowedPrograms() const override;

 private:
  std::function<void()> ended_;
};

// When the process of that number was created (FILETIME units); 0 when it cannot be opened.
std::uint64_t ProcessCreationTime(unsigned processId);

class Win32InputIdle final : public InputIdle {
 public:
  std::uint64_t IdleMilliseconds() const override;
};

}  // namespace halcyra
