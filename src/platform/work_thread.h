#pragma once
// Work beside the user-interface thread, a step at a time: reading the
// user's photos, so that the thread that handles input never waits on a
// disk or a decoder. What a step finds reaches the user-interface thread as
// a message, in the order the step told of it.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace orvanel::platform {

// What one step did: whether another step has work now, and the value of
// the message to post, when it has something for the user-interface thread.
struct WorkStep {
  bool more = false;
  std::optional<std::uintptr_t> notify;
};

class WorkThread {
 public:
  // Called again and again while it has more to do; then the thread sleeps
  // until Wake. A step touches nothing of the user-interface thread's.
  using Step = std::function<WorkStep()>;

  // Stops the work: no step starts after this. A step still running is
  // waited for briefly; one that does not end then (a decoder that cannot
  // be stopped) is left to finish on its own while the saver ends.
  virtual ~WorkThread() = default;
  // There may be work again. On the user-interface thread.
  virtual void Wake() = 0;
};

// A work thread of the standard library's, for desktops whose file services
// may be called from any thread: `post` hands a step's message to the
// desktop's queue, from the work thread. A thread left running when its
// owner went away is counted in `abandoned`, which the desktop looks at
// before it ends the process: it must not be torn down under that thread.
class ThreadedWork : public WorkThread {
 public:
  using Post = std::function<void(std::uintptr_t)>;
  // `begin` runs first on the thread: the desktop lowers its priority there,
  // so that a decoder's threads, which it starts, never keep the
  // user-interface thread waiting for a processor.
  ThreadedWork(Step step, Post post, std::shared_ptr<std::atomic<int>> abandoned, std::function<void()> begin);
  ~ThreadedWork() override;
  ThreadedWork(const ThreadedWork&) = delete;
  ThreadedWork& operator=(const ThreadedWork&) = delete;

  void Wake() override;

  // How long the end of the work waits for a step still running.
  static constexpr int kStopWaitMs = 10;

 private:
  struct Shared {
    std::mutex mutex;
    std::condition_variable changed;
    bool wake = true;
    bool stop = false;
    bool ended = false;
    Post post;
  };
  static void Run(const std::shared_ptr<Shared>& shared, const Step& step);

  std::shared_ptr<Shared> shared_;
  std::shared_ptr<std::atomic<int>> abandoned_;
  std::thread thread_;
};

}  // namespace orvanel::platform
