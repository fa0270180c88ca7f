#pragma once
// The slideshow's timing: the main window's timer tick posts the job message
// to the main window unless the saver is ending or a picture is being shown;
// the job shows one picture in the preview window, or on the monitor whose
// turn it is, and hands the turn on once that monitor's picture is complete.
#include <cstdint>

#include "instance/saver.h"
#include "platform/forms/form.h"
#include "platform/forms/timer.h"

namespace orvanel::slideshow {

// The slideshow's private job message, posted to the main window.
inline constexpr std::uint32_t WM_DOJOB = 0x046F;

class Scheduler {
 public:
  // `mainWindow` receives the job message; `tmrVISUAL` is its timer.
  Scheduler(instance::Saver& saver, forms::Form& mainWindow, forms::Timer& tmrVISUAL)
      : saver_(saver), main_(mainWindow), tmrVISUAL_(tmrVISUAL) {}
  Scheduler(const Scheduler&) = delete;
  Scheduler& operator=(const Scheduler&) = delete;

  // One immediate tick, then the timer runs.
  void StartSlideshow();
  void tmrVISUALTimer();
  // The slideshow's job: one picture, on the monitor whose turn it is or in
  // the preview window.
  void WMDoJob(const platform::Message& message);

 private:
  void PreviewJob();
  void MonitorJob();

  instance::Saver& saver_;
  forms::Form& main_;
  forms::Timer& tmrVISUAL_;
};

}  // namespace orvanel::slideshow
