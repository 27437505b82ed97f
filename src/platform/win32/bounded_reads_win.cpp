#include "platform/win32/bounded_reads_win.h"

#include <windows.h>

#include <utility>

#include "platform/win32/handle_win.h"

namespace halcyra {
namespace {

struct Job {
  std::function<void()> read;
  std::shared_ptr<std::atomic<bool>> ended = std::make_shared<std::atomic<bool>>(false);
};

DWORD WINAPI RunJob(void* parameter) {
  const std::unique_ptr<Job> job(static_cast<Job*>(parameter));
  job->read();
  job->ended->store(true);
  return 0;
}

}  // namespace

bool BoundedReads::Held(const std::string& file) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto found = held_.find(file);
  if (found == held_.end()) return false;
  if (!found->second->load()) return true;
  held_.erase(found);
  return false;
}

bool BoundedReads::Run(const std::string& file, std::function<void()> read) const {
  if (Held(file)) return false;
  auto job = std::make_unique<Job>();
  job->read = std::move(read);
  const std::shared_ptr<std::atomic<bool>> ended = job->ended;
  const UniqueHandle thread(CreateThread(nullptr, 0, &RunJob, job.get(), 0, nullptr));
  if (!thread) return false;
  job.release();  // the thread owns it now
  if (WaitForSingleObject(thread.Get(), kSharedFileWaitMs) == WAIT_OBJECT_0) return true;
  // A blocked open or read gives up when cancelled (an oplock's break is waited for in the
  // open); whatever it then returns is not taken.
  CancelSynchronousIo(thread.Get());
  const std::lock_guard<std::mutex> lock(mutex_);
  held_[file] = ended;
  return false;
}

}  // namespace halcyra
