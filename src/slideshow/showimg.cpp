#include "slideshow/showimg.h"

#include <algorithm>
#include <cassert>
#include <optional>

#include "platform/forms/monitors.h"
#include "instance/saver.h"
#include "slideshow/clock.h"
#include "slideshow/photo_caption.h"
#include "slideshow/picture_source.h"
#include "slideshow/random_numbers.h"

namespace orvanel::slideshow {
namespace {

using platform::Rect;

// Monitor targets are 0 to 3; anything from here on is drawn on the canvas.
constexpr std::int32_t kFirstCanvasTarget = instance::kMaxMonitors;
// Targets below this one are monitors for the pointer's parking.
constexpr std::int32_t kPointerParkingLimit = 20;
// An opacity change slower than this makes the fade's steps larger.
constexpr std::int64_t kSlowStepMs = 100;
constexpr std::int32_t kFirstFadeStep = 3;
// The longest the presenter sleeps between looks at the queue while its
// photo is being read.
constexpr std::uint32_t kReaderWaitMs = 50;

// The next picture of the pool, refilled with the pictures in rotation when
// empty (those of the folder that can be shown); nothing when none is left.
// In random order the generator is seeded from the time of day first.
std::optional<std::int32_t> TakeFromPool(instance::Saver& saver, std::vector<std::string>& pool,
                                         std::int32_t pictureCount) {
  if (pool.empty()) {
    const bool folder = saver.pictureReading != nullptr;
    for (std::int32_t n = 0; n < pictureCount; ++n) {
      if (!folder || !saver.unusablePictures[static_cast<std::size_t>(n)]) pool.push_back(std::to_string(n));
    }
  }
  if (pool.empty()) return std::nullopt;
  std::int32_t position = 0;
  if (saver.RandomOrder()) {
    Randomize(saver.desktop, saver.randomSeed);
    position = Random(saver.randomSeed, static_cast<std::int32_t>(pool.size()));
  }
  const auto at = pool.begin() + position;
  const std::int32_t picture = std::stoi(*at);
  pool.erase(at);
  return picture;
}

// Asks the reader for file `index` framed as `wanted` says.
void Ask(instance::Saver& saver, std::int32_t index, instance::PictureRequest wanted) {
  wanted.index = index;
  saver.pictureAsked = wanted;
  saver.pictureReading->Read(wanted, saver.pictureFiles[static_cast<std::size_t>(index)]);
}

// A photo read, or being read, for another target or area than `wanted` (the
// monitors changed, the preview's host) is given up, its file back at the
// head of the pool.
void GiveBackReadingFor(instance::Saver& saver, const instance::PictureRequest& wanted) {
  const auto other = [&](const instance::PictureRequest& request) {
    return request.target != wanted.target || request.areaWidth != wanted.areaWidth ||
           request.areaHeight != wanted.areaHeight || request.fit != wanted.fit;
  };
  std::optional<std::int32_t> given;
  if (saver.pictureAsked && other(*saver.pictureAsked)) given = saver.pictureAsked->index;
  if (saver.pictureRead && other(saver.pictureRead->request)) given = saver.pictureRead->request.index;
  if (!given) return;
  saver.pictureAsked.reset();
  saver.pictureRead.reset();
  saver.picturePool.insert(saver.picturePool.begin(), std::to_string(*given));
}

// Asks for the photo after the one being presented, unless one is read or
// asked for already.
void ReadAhead(instance::Saver& saver) {
  if (saver.pictureReading == nullptr || !saver.nextPictureFor || saver.pictureAsked || saver.pictureRead) return;
  const auto index = TakeFromPool(saver, saver.picturePool, static_cast<std::int32_t>(saver.pictureFiles.size()));
  if (index) Ask(saver, *index, *saver.nextPictureFor);
}

// Marks a presentation as running for as long as the object lives, and asks
// the system's timers for 1 ms resolution meanwhile: every way out of the
// call clears both.
class BusyScope {
 public:
  explicit BusyScope(instance::Saver& saver) : saver_(saver) {
    assert(!saver_.presenterBusy);
    saver_.presenterBusy = true;
    saver_.desktop.BeginFineTimerResolution();
  }
  ~BusyScope() {
    saver_.desktop.EndFineTimerResolution();
    saver_.presenterBusy = false;
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  instance::Saver& saver_;
};

// The state of one call: nothing of it survives the call.
class Presentation {
 public:
  Presentation(instance::Saver& saver, forms::Canvas& canvas, const Rect& area,
               std::vector<std::string>& pool, std::int32_t pictureCount,
               std::int32_t& pictureIndex, std::int32_t target)
      : saver_(saver),
        app_(saver.app),
        desktop_(saver.desktop),
        main_(*saver.frmSAVER),
        canvas_(canvas),
        area_(area),
        pool_(pool),
        pictureCount_(pictureCount),
        pictureIndex_(pictureIndex),
        target_(target) {}

  bool Run() {
    const bool folder = saver_.pictureReading != nullptr;
    if (pictureCount_ <= 0 && !folder) return false;
    if (target_ >= 0 && target_ < kFirstCanvasTarget &&
        (saver_.PictureWindow(target_) == nullptr || saver_.Overlay(target_) == nullptr)) {
      return false;
    }
    // Once the windows show a picture, a photo still being read is waited
    // for before they are blanked: the last picture stays up meanwhile.
    std::optional<FittedPicture> photo;
    if (folder && main_.AlphaBlendValue() == 255) {
      photo = FitFromFolder();
      if (!photo) return false;
    }
    if (!OpeningStep()) return false;
    if (folder) {
      if (!photo) photo = FitFromFolder();
      if (!photo) return false;
      fitted_ = std::move(*photo);
    } else {
      ChoosePicture();
      fitted_ = FitBuiltIn();
    }
    Place();
    // The next photo is read while this one comes in: a photo that takes
    // less than the period to read keeps the period.
    ReadAhead(saver_);
    if (target_ >= 0 && target_ < kFirstCanvasTarget) {
      if (!DrawOnMonitor()) return false;
    } else {
      canvas_.FillRect(area_);
      DrawPicture(canvas_);
      app_.ProcessMessages();
    }
    ParkPointer();
    return true;
  }

 private:
  // The dissolve setting, asked for each time it matters: the user may
  // change it while a picture comes in.
  bool Blend() const { return saver_.Dissolve(); }

  // The picture windows of monitors 3, 2 and 1 that the desktop has now.
  template <typename Action>
  void ForOtherPictureWindows(Action&& action) {
    const int count = forms::MonitorCount(desktop_);
    for (int index = instance::kMaxMonitors - 1; index >= 1; --index) {
      if (count <= index) continue;
      if (auto* window = saver_.PictureWindow(index)) action(*window);
    }
  }

  bool OpeningStep() {
    if (Blend() && main_.AlphaBlendValue() == 0) {
      // The first presentation fades every picture window in to black.
      while (main_.AlphaBlendValue() < 255 - fadeStep_) {
        if (!FadeStep(main_, true)) return false;
        ForOtherPictureWindows(
            [&](forms::Form& window) { window.SetAlphaBlendValue(main_.AlphaBlendValue()); });
      }
      app_.ProcessMessages();
      main_.SetAlphaBlendValue(255);
      ForOtherPictureWindows([](forms::Form& window) { window.SetAlphaBlendValue(255); });
      app_.ProcessMessages();
    } else if (Blend()) {
      app_.ProcessMessages();
    } else {
      // Without the dissolve every call blanks the picture windows, each whole:
      // monitors of other sizes have windows of other sizes.
      main_.GetCanvas().FillRect(main_.ClientRect());
      main_.SetAlphaBlendValue(255);
      ForOtherPictureWindows([&](forms::Form& window) {
        window.GetCanvas().FillRect(window.ClientRect());
        window.SetAlphaBlendValue(255);
      });
    }
    return true;
  }

  void ChoosePicture() { pictureIndex_ = *TakeFromPool(saver_, pool_, pictureCount_); }

  FittedPicture FitBuiltIn() {
    const auto picture = LoadPicture(desktop_, pictureIndex_);
    return FitPicture(desktop_, picture, area_.Width(), area_.Height());
  }

  // The photo for this target: the one read ahead for it, else the next of
  // the rotation, read now while messages go on. A file that cannot be
  // shown is passed over for the next one of the same order, in this same
  // job, and never drawn again; once the walk is over and no file is left
  // to show, the built-in pictures take over for the rest of the run.
  // Nothing when the saver began to quit meanwhile.
  std::optional<FittedPicture> FitFromFolder() {
    const instance::PictureRequest wanted{0, target_, area_.Width(), area_.Height(), saver_.fit};
    GiveBackReadingFor(saver_, wanted);
    for (;;) {
      if (!saver_.pictureAsked && !saver_.pictureRead) {
        const auto index = TakeFromPool(saver_, pool_, static_cast<std::int32_t>(saver_.pictureFiles.size()));
        if (!index) {
          if (saver_.pictureWalkDone) return FallBackToBuiltIn();
          if (!AwaitReader()) return std::nullopt;
          continue;
        }
        Ask(saver_, *index, wanted);
      }
      if (!saver_.pictureRead) {
        if (!AwaitReader()) return std::nullopt;
        continue;
      }
      instance::ReadPicture read = std::move(*saver_.pictureRead);
      saver_.pictureRead.reset();
      pictureIndex_ = read.request.index;
      const auto index = static_cast<std::size_t>(pictureIndex_);
      if (read.usable) {
        FittedPicture photo{std::move(read.bitmap), read.width, read.height, read.taken};
        // Drawn into the picture, the caption comes and goes with it.
        CaptionPhoto(saver_, saver_.pictureFiles[index], photo, area_.Height(), target_);
        return photo;
      }
      saver_.unusablePictures[index] = true;
    }
  }

  // Waits for the reader's next delivery, messages going on meanwhile;
  // false once the saver begins to quit.
  bool AwaitReader() {
    const auto seen = saver_.pictureDeliveries;
    for (;;) {
      app_.ProcessMessages();
      if (saver_.quitRequested || app_.TerminateRequested() || app_.Terminated()) return false;
      if (saver_.pictureDeliveries != seen) return true;
      // The sleep is reckoned from the clock's last reading: read it now.
      Now(desktop_);
      desktop_.SleepUntilMessage(kReaderWaitMs, false);
    }
  }

  FittedPicture FallBackToBuiltIn() {
    saver_.pictureReading.reset();
    saver_.pictureAsked.reset();
    saver_.pictureRead.reset();
    saver_.pictureFiles.clear();
    saver_.unusablePictures.clear();
    pool_.clear();
    pictureCount_ = PictureCount;
    ChoosePicture();
    return FitBuiltIn();
  }

  // At a random spot of the free margin, not centred.
  void Place() {
    x_ = area_.left + Random(saver_.randomSeed, std::max(0, area_.Width() - fitted_.width));
    y_ = area_.top + Random(saver_.randomSeed, std::max(0, area_.Height() - fitted_.height));
  }

  void DrawPicture(forms::Canvas& canvas) {
    if (fitted_.bitmap) canvas.Draw(platform::Point{x_, y_}, *fitted_.bitmap);
  }

  bool DrawOnMonitor() {
    forms::Form* picture = saver_.PictureWindow(target_);
    forms::Form* overlay = saver_.Overlay(target_);
    if (picture == nullptr || overlay == nullptr) return false;
    // Both windows keep what is drawn on them and paint it back whole.
    if (Blend()) {
      overlay->SetAlphaBlendValue(0);
      overlay->GetCanvas().FillRect(area_);
      DrawPicture(overlay->GetCanvas());
      app_.ProcessMessages();
      while (overlay->AlphaBlendValue() < 255 - fadeStep_) {
        if (!FadeStep(*overlay, true)) return false;
      }
      overlay->SetAlphaBlendValue(255);
      app_.ProcessMessages();
    }
    picture->GetCanvas().FillRect(area_);
    app_.ProcessMessages();
    DrawPicture(picture->GetCanvas());
    if (Blend()) {
      app_.ProcessMessages();
      while (overlay->AlphaBlendValue() > fadeStep_) {
        if (!FadeStep(*overlay, false)) return false;
      }
      app_.ProcessMessages();
      overlay->SetAlphaBlendValue(0);
      app_.ProcessMessages();
      overlay->GetCanvas().FillRect(area_);
    }
    app_.ProcessMessages();
    // A key taken by the step above has already ended the application, and
    // the wait would not see its quit message: it would only hold the
    // ending saver on the screen for half a second more.
    if (!saver_.quitRequested) PacedWait(app_, 500, false);
    return true;
  }

  // One step of a fade; false when the saver has begun to quit.
  bool FadeStep(forms::Form& window, bool in) {
    if (saver_.quitRequested) return false;
    PacedWait(app_, platform::kFadeStepWaitMs, false);
    const double t0 = Now(desktop_);
    const int next = window.AlphaBlendValue() + (in ? fadeStep_ : -fadeStep_);
    window.SetAlphaBlendValue(static_cast<std::uint8_t>(next));
    if (fadeStep_ == kFirstFadeStep && MillisecondSpan(Now(desktop_), t0) > kSlowStepMs) {
      // A slow display gets larger steps, for the rest of this call.
      fadeStep_ = static_cast<std::int32_t>(MillisecondSpan(Now(desktop_), t0) / kSlowStepMs) * 3 + 1;
    }
    return true;
  }

  void ParkPointer() {
    if (target_ >= kPointerParkingLimit || saver_.saverMode == instance::SaverMode::kConfig) return;
    desktop_.ShowCursor(false);
    if (saver_.ParksPointer()) {
      desktop_.SetCursorPos(platform::Point{102, 102});
      desktop_.SetCursorPos(platform::Point{101, 101});
    }
    app_.ProcessMessages();
  }

  instance::Saver& saver_;
  forms::Application& app_;
  platform::Desktop& desktop_;
  forms::Form& main_;
  forms::Canvas& canvas_;
  const Rect area_;  // a copy: the caller's rectangle may change during the call
  std::vector<std::string>& pool_;
  std::int32_t pictureCount_;
  std::int32_t& pictureIndex_;
  const std::int32_t target_;
  std::int32_t fadeStep_ = kFirstFadeStep;
  FittedPicture fitted_;
  std::int32_t x_ = 0;
  std::int32_t y_ = 0;
};

}  // namespace

std::int32_t PicturesInRotation(const instance::Saver& saver) {
  return saver.pictureReading == nullptr ? PictureCount : static_cast<std::int32_t>(saver.pictureFiles.size());
}

void ReadAheadFor(instance::Saver& saver, std::int32_t target, const platform::Rect& area) {
  saver.nextPictureFor = instance::PictureRequest{0, target, area.Width(), area.Height(), saver.fit};
}

bool ShowPicture(instance::Saver& saver, forms::Canvas& canvas, const platform::Rect& area,
                 std::vector<std::string>& picturePool, std::int32_t pictureCount,
                 std::int32_t& pictureIndex, std::int32_t target) {
  // Monitor targets are the instance's monitors 0 to 3; the preview and the
  // other canvas targets lie above them.
  assert(target >= 0);
  assert(saver.frmSAVER != nullptr);
  if (saver.presenterBusy) return false;
  BusyScope busy(saver);
  Presentation presentation(saver, canvas, area, picturePool, pictureCount, pictureIndex, target);
  return presentation.Run();
}

}  // namespace orvanel::slideshow
