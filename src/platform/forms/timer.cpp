#include "platform/forms/timer.h"

#include <algorithm>

#include "platform/forms/application.h"
#include "platform/forms/error.h"
#include "platform/window_styles.h"

namespace orvanel::forms {
namespace {
constexpr std::uintptr_t kTimerId = 1;
}

Timer::Timer(Application& app, std::function<void()> onTimer)
    : app_(app), onTimer_(std::move(onTimer)) {
  platform::WindowRequest request;
  request.className = "OrvanelTimerWindow";
  request.style = platform::kStylePopup;
  request.procedure = this;
  window_ = app_.Desktop().CreateNativeWindow(request);
}

Timer::~Timer() {
  if (window_ == platform::kNoWindow) return;
  app_.Desktop().StopTimer(window_, kTimerId);
  app_.Desktop().DestroyNativeWindow(window_);
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  UpdateTimer();
}

void Timer::SetInterval(std::uint32_t milliseconds) {
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  UpdateTimer();
}

void Timer::UpdateTimer() {
  auto& desktop = app_.Desktop();
  if (window_ != platform::kNoWindow) desktop.StopTimer(window_, kTimerId);
  if (!enabled_ || interval_ == 0 || !onTimer_) return;
  const std::uint32_t interval = std::max(interval_, kTimerMinimumMs);
  if (window_ == platform::kNoWindow || !desktop.StartTimer(window_, kTimerId, interval)) {
    throw SaverError("Not enough timers available");
  }
}

bool Timer::HandleMessage(const platform::Message& message, std::intptr_t& result) {
  if (message.id != platform::kMsgTimer) return false;
  result = 0;
  try {
    if (enabled_ && onTimer_) onTimer_();
  } catch (const std::exception& error) {
    app_.ShowException(error);
  }
  return true;
}

}  // namespace orvanel::forms
