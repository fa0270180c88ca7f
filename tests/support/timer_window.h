#pragma once
// A window of a simulated process that runs an action when its timer fires,
// once per FireAfter: a way to make something happen in the middle of a
// wait, a fade or a run of the message loop.
#include <functional>

#include "platform/sim/sim_process.h"
#include "platform/window_styles.h"

namespace orvanel::testing {

class TimerWindow : public platform::WindowProcedure {
 public:
  TimerWindow(platform::sim::SimProcess& process, std::function<void()> action)
      : process_(process), action_(std::move(action)) {
    platform::WindowRequest request;
    request.className = "TestTimer";
    request.style = platform::kStylePopup;
    request.procedure = this;
    handle_ = process.CreateNativeWindow(request);
  }
  TimerWindow(const TimerWindow&) = delete;
  TimerWindow& operator=(const TimerWindow&) = delete;

  void FireAfter(std::int64_t milliseconds) {
    process_.StartTimer(handle_, 1, static_cast<std::uint32_t>(milliseconds));
  }

  bool HandleMessage(const platform::Message& message, std::intptr_t& result) override {
    result = 0;
    if (message.id != platform::kMsgTimer) return false;
    process_.StopTimer(handle_, 1);
    action_();
    return true;
  }

 private:
  platform::sim::SimProcess& process_;
  std::function<void()> action_;
  platform::WindowHandle handle_ = platform::kNoWindow;
};

}  // namespace orvanel::testing
