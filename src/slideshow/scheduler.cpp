#include "slideshow/scheduler.h"

#include <algorithm>
#include <cassert>

#include "platform/forms/application.h"
#include "platform/forms/monitors.h"
#include "slideshow/picture_reader.h"
#include "slideshow/showimg.h"

namespace orvanel::slideshow {
namespace {

// Preview pictures go to the top-left corner of the host window, whatever its size.
constexpr platform::Rect kPreviewArea{0, 0, 152, 112};

}  // namespace

void Scheduler::StartSlideshow() {
  // The folder is walked once, beside the slideshow, from now on: its first
  // photos show while the walk goes on. A folder that cannot be read, or
  // holds no photo, leaves the built-in pictures once the walk is over.
  saver_.picturePool.clear();
  if (!saver_.picturesFolder.empty()) {
    saver_.pictureReading = std::make_unique<PictureReader>(saver_, saver_.picturesFolder, main_.Handle());
  }
  tmrVISUALTimer();
  tmrVISUAL_.SetEnabled(true);
}

void Scheduler::tmrVISUALTimer() {
  if (saver_.quitRequested) {
    tmrVISUAL_.SetEnabled(false);
    return;
  }
  if (saver_.presenterBusy) return;
  main_.Desktop().PostToWindow(main_.Handle(), WM_DOJOB, 0, 0);
}

void Scheduler::WMDoJob(const platform::Message&) {
  // The error box of a failed job runs its own message loop; a job inside it
  // would fail again and open box after box.
  if (saver_.app.ReportingError()) return;
  // A job that was queued before the mode changed (a lost preview host reads
  // the command line again as None) draws nothing.
  if (saver_.saverMode == instance::SaverMode::kPreview) {
    PreviewJob();
  } else if (saver_.saverMode == instance::SaverMode::kActive) {
    MonitorJob();
  }
}

void Scheduler::PreviewJob() {
  auto& desktop = saver_.desktop;
  // The host window's drawing context, taken for this job alone.
  const auto previewDC = desktop.WindowContext(saver_.previewParent);
  if (!previewDC) return;
  forms::Canvas previewCanvas(desktop, *previewDC);
  previewCanvas.SetPenColor(platform::kWhite);
  previewCanvas.SetBrushColor(platform::kBlack);
  ReadAheadFor(saver_, PreviewTarget, kPreviewArea);
  ShowPicture(saver_, previewCanvas, kPreviewArea, saver_.picturePool, PicturesInRotation(saver_),
              saver_.pictureIndex, PreviewTarget);
}

void Scheduler::MonitorJob() {
  // Monitors beyond those that got windows at start take no turn.
  const int monitors = std::min(forms::MonitorCount(saver_.desktop), saver_.MonitorsWithWindows());
  if (saver_.currentMonitor >= monitors) saver_.currentMonitor = 0;
  assert(saver_.currentMonitor >= 0 && saver_.currentMonitor < instance::kMaxMonitors);
  forms::Form* window = saver_.PictureWindow(saver_.currentMonitor);
  if (window == nullptr) return;
  saver_.targetRect = window->ClientRect();
  if (!saver_.presenterBusy) {
    // The next picture goes to the next monitor, unless the monitors change meanwhile.
    const int nextMonitor = saver_.currentMonitor + 1 < monitors ? saver_.currentMonitor + 1 : 0;
    if (forms::Form* next = saver_.PictureWindow(nextMonitor)) ReadAheadFor(saver_, nextMonitor, next->ClientRect());
    if (ShowPicture(saver_, window->GetCanvas(), saver_.targetRect, saver_.picturePool, PicturesInRotation(saver_),
                    saver_.pictureIndex, saver_.currentMonitor)) {
      ++saver_.currentMonitor;
      if (saver_.currentMonitor >= monitors) saver_.currentMonitor = 0;
    }
  }
  if (saver_.currentMonitor >= monitors) saver_.currentMonitor = 0;
}

}  // namespace orvanel::slideshow
