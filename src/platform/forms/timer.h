#pragma once
#include <cstdint>
#include <functional>

#include "platform/desktop.h"

namespace orvanel::forms {

class Application;

// The shortest interval a timer ticks at. Windows raises a shorter one to it,
// and every desktop is asked for no less, so that all of them tick alike.
inline constexpr std::uint32_t kTimerMinimumMs = 10;

// A periodic timer component, made disabled. It owns a hidden window that
// receives the desktop's timer messages, as the desktop's timers are tied to
// a window.
class Timer : private platform::WindowProcedure {
 public:
  Timer(Application& app, std::function<void()> onTimer);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::uint32_t Interval() const { return interval_; }
  void SetInterval(std::uint32_t milliseconds);

 private:
  bool HandleMessage(const platform::Message& message, std::intptr_t& result) override;
  // Stops the desktop's timer and, when enabled with a non-zero interval,
  // starts it again; raises "Not enough timers available" when none is left.
  void UpdateTimer();

  Application& app_;
  std::function<void()> onTimer_;
  platform::WindowHandle window_ = platform::kNoWindow;
  bool enabled_ = false;
  std::uint32_t interval_ = 1000;
};

}  // namespace orvanel::forms
