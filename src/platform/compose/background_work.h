#pragma once
// Work on a thread of its own, or done at once where no thread can be had.
#include <functional>
#include <thread>

namespace orvanel::platform::compose {

class BackgroundWork {
 public:
  BackgroundWork() = default;
  ~BackgroundWork() { Await(); }
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

  void Start(const std::function<void()>& work);
  // Returns once the work is done.
  void Await();

 private:
  std::thread thread_;
};

}  // namespace orvanel::platform::compose
