#include "platform/win32/bounded_reads_win.h"

#include <windows.h>

#include <utility>

#include "platform/win32/handle_win.h"

namespace halcyra {

// One thread that runs the reads, one at a time, for as long as none of them is held up; its
// state is shared with the thread, which outlives a read given up on.
struct BoundedReads::Worker {
  UniqueHandle thread;
  UniqueHandle jobReady{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  UniqueHandle jobDone{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  std::function<void()> job;
  std::shared_ptr<std::atomic<bool>> jobEnded;
  // Set when a read was given up on, or when the reads' side goes: the thread ends after the
  // read it runs, if any.
  std::atomic<bool> leave{false};

  static DWORD WINAPI Run(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Worker>> owned(
        static_cast<std::shared_ptr<Worker>*>(parameter));
    Worker& worker = **owned;
    for (;;) {
      WaitForSingleObject(worker.jobReady.Get(), INFINITE);
      if (!worker.job) return 0;
      worker.job();
      worker.job = nullptr;
      worker.jobEnded->store(true);
      SetEvent(worker.jobDone.Get());
      if (worker.leave) return 0;
    }
  }
};

BoundedReads::BoundedReads() = default;

BoundedReads::~BoundedReads() {
  // A thread waiting for work ends; one held up in a read ends once that read does.
  if (!worker_) return;
  worker_->leave = true;
  SetEvent(worker_->jobReady.Get());
}

bool BoundedReads::Held(const std::string& file) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto found = held_.find(file);
  if (found == held_.end()) return false;
  const bool told = std::exchange(found->second.told, true);
  if (!found->second.ended->load()) return true;
  held_.erase(found);
  return !told;
}

bool BoundedReads::Blocked(const std::string& file) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto found = held_.find(file);
  return found != held_.end() && !found->second.ended->load();
}

bool BoundedReads::Run(const std::string& file, std::function<void()> read) const {
  if (Blocked(file)) return false;
  if (!worker_) {
    auto worker = std::make_shared<Worker>();
    auto* handed = new std::shared_ptr<Worker>(worker);
    worker->thread.Reset(CreateThread(nullptr, 0, &Worker::Run, handed, 0, nullptr));
    if (!worker->thread || !worker->jobReady || !worker->jobDone) {
      if (!worker->thread) delete handed;
      return false;
    }
    worker_ = std::move(worker);
  }
  Worker& worker = *worker_;
  auto ended = std::make_shared<std::atomic<bool>>(false);
  worker.job = std::move(read);
  worker.jobEnded = ended;
  SetEvent(worker.jobReady.Get());
  if (WaitForSingleObject(worker.jobDone.Get(), kSharedFileWaitMs) == WAIT_OBJECT_0) return true;
  // A blocked open or read gives up when cancelled (an oplock's break is waited for in the
  // open); whatever it then returns is not taken. The thread leaves after it, and the next
  // read gets a new one.
  worker.leave = true;
  // Should the read have ended just now, the thread finds no work and leaves all the same.
  SetEvent(worker.jobReady.Get());
  CancelSynchronousIo(worker.thread.Get());
  worker_.reset();
  const std::lock_guard<std::mutex> lock(mutex_);
  held_[file] = {ended, false};
  return false;
}

}  // namespace halcyra
