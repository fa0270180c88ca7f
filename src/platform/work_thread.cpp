#include "platform/work_thread.h"

#include <chrono>
#include <utility>

namespace orvanel::platform {

ThreadedWork::ThreadedWork(Step step, Post post, std::shared_ptr<std::atomic<int>> abandoned,
                           std::function<void()> begin)
    : shared_(std::make_shared<Shared>()), abandoned_(std::move(abandoned)) {
  shared_->post = std::move(post);
  // The thread owns its step and the state it shares, so that it may outlive this object.
  thread_ = std::thread([shared = shared_, step = std::move(step), begin = std::move(begin)] {
    if (begin) begin();
    Run(shared, step);
  });
}

ThreadedWork::~ThreadedWork() {
  std::unique_lock lock(shared_->mutex);
  shared_->stop = true;
  shared_->changed.notify_all();
  const bool ended = shared_->changed.wait_for(lock, std::chrono::milliseconds(kStopWaitMs),
                                               [this] { return shared_->ended; });
  lock.unlock();
  if (ended) {
    thread_.join();
  } else {
    ++*abandoned_;
    thread_.detach();
  }
}

void ThreadedWork::Wake() {
  const std::lock_guard lock(shared_->mutex);
  shared_->wake = true;
  shared_->changed.notify_all();
}

void ThreadedWork::Run(const std::shared_ptr<Shared>& shared, const Step& step) {
  for (;;) {
    {
      std::unique_lock lock(shared->mutex);
      shared->changed.wait(lock, [&] { return shared->wake || shared->stop; });
      if (shared->stop) break;
      shared->wake = false;
    }
    for (;;) {
      const WorkStep done = step();
      const std::lock_guard lock(shared->mutex);
      if (shared->stop) break;
      // Posted under the lock: once stopped, nothing more reaches a desktop that may be going.
      if (done.notify) shared->post(*done.notify);
      if (!done.more) break;
    }
  }
  const std::lock_guard lock(shared->mutex);
  shared->ended = true;
  shared->changed.notify_all();
}

}  // namespace orvanel::platform
