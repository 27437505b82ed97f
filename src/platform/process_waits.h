// The sources of a one-off request's conditions: the processes it waits for, and how long the
// session has had no input.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace halcyra {

// Processes held by their handles from the moment the request arrived: their end is read from
// the handles, never by looking the name up again.
class ProcessWait {
 public:
  virtual ~ProcessWait() = default;
  // How many processes it waits for (0: none ran when it was made).
  virtual unsigned Count() const = 0;
  // Every one of them has ended.
  virtual bool Ended() const = 0;
  // Whether the program hears of each end as it happens, so that nobody need look before.
  virtual bool NoticesEnd() const { return false; }
};

// A program of this session with a visible window, as a person picks it from a list.
struct RunningProgram {
  std::string title;      // of its window
  std::string imageName;  // "handbrake.exe"
  bool operator==(const RunningProgram&) const = default;
};

class ProcessWaits {
 public:
  virtual ~ProcessWaits() = default;
  // The session's programs (other than this one) that show a top-level window with a title.
  virtual std::vector<RunningProgram> WindowedPrograms() const = 0;
  // Every process of this session with that image name (compared without case), or the one
  // process of that id (`processId` not 0) when it runs in this session and was created at
  // `createdAt` (0: whenever).
  virtual std::unique_ptr<ProcessWait> Watch(const std::string& imageName, unsigned processId,
                                             std::uint64_t createdAt) = 0;
};

class InputIdle {
 public:
  virtual ~InputIdle() = default;
  // Milliseconds since the last keyboard or mouse input in this session.
  virtual std::uint64_t IdleMilliseconds() const = 0;
};

}  // namespace halcyra
