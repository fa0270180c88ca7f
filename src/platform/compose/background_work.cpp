#include "platform/compose/background_work.h"

#include <system_error>

namespace orvanel::platform::compose {

void BackgroundWork::Start(const std::function<void()>& work) {
  Await();
  try {
    thread_ = std::thread(work);
  } catch (const std::system_error&) {
    work();
  }
}

void BackgroundWork::Await() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace orvanel::platform::compose
