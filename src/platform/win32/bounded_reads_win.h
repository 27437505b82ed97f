// Reads of files that other programs can hold up: any reader of a shared file may open it
// without sharing, lock a range of it or hold an oplock on it, and an open or read of ours then
// waits for as long as that program likes.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace halcyra {

// How long a read of a shared file may take before it counts as one that could not be done.
inline constexpr unsigned long kSharedFileWaitMs = 2000;

class BoundedReads {
 public:
  BoundedReads();
  ~BoundedReads();
  BoundedReads(const BoundedReads&) = delete;
  BoundedReads& operator=(const BoundedReads&) = delete;

  // Runs the read on the reads' own thread and waits for it at most kSharedFileWaitMs. True when
  // it finished in that time. A read still waiting then is cancelled and left to end on its
  // own; until it has, every further read of the same file gives up at once, so that a file
  // held for good costs one wait and not one per value. The read must own everything it uses.
  bool Run(const std::string& file, std::function<void()> read) const;
  // Whether a read of the file is still held up past its wait, or one was given up on since the
  // last question: a read that ends just before it is asked still gave back nothing.
  bool Held(const std::string& file) const;
  // Whether a read of the file is still held up; says nothing of earlier ones.
  bool Blocked(const std::string& file) const;

 private:
  struct Worker;
  // The "it has ended" mark of the read given up on, and whether Held has told of it.
  struct GivenUp {
    std::shared_ptr<std::atomic<bool>> ended;
    bool told = false;
  };

  // Made at the first read; replaced after a read held up.
  mutable std::shared_ptr<Worker> worker_;
  mutable std::mutex mutex_;
  // Per file, the read that was given up on last.
  mutable std::map<std::string, GivenUp> held_;
};

}  // namespace halcyra
