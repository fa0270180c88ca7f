#include "slideshow/paced_wait.h"

#include "slideshow/clock.h"

namespace orvanel::slideshow {

bool PumpMessages(platform::Desktop& desktop) {
  while (const auto message = desktop.TakeMessage()) {
    if (message->id == platform::kMsgQuit) {
      desktop.PostQuit(static_cast<int>(message->wParam));
      return true;
    }
    desktop.TranslateInput(*message);
    desktop.DispatchToWindow(*message);
  }
  return false;
}

void PacedWait(forms::Application& app, std::int32_t milliseconds, bool alertable) {
  auto& desktop = app.Desktop();
  app.ProcessMessages();
  const long double deadline = static_cast<long double>(Now(desktop)) + milliseconds * kWaitUnitDays;
  for (;;) {
    if (!(static_cast<long double>(Now(desktop)) < deadline)) return;
    if (PumpMessages(desktop)) return;
    if (desktop.SleepEx(1, alertable) == platform::kWaitIoCompletion) return;
  }
}

}  // namespace orvanel::slideshow
