#include "slideshow/showimg.h"

#include <algorithm>
#include <cassert>

#include "platform/forms/monitors.h"
#include "instance/saver.h"
#include "slideshow/clock.h"
#include "slideshow/photo_caption.h"
#include "slideshow/picture_folder.h"
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
    if (pictureCount_ <= 0) return false;
    if (target_ >= 0 && target_ < kFirstCanvasTarget &&
        (saver_.PictureWindow(target_) == nullptr || saver_.Overlay(target_) == nullptr)) {
      return false;
    }
    if (!OpeningStep()) return false;
    ChoosePicture();
    fitted_ = saver_.pictureFiles.empty() ? FitBuiltIn() : FitFromFolder();
    Place();
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

  void ChoosePicture() {
    if (pool_.empty()) {
      // A file of the folder that failed once is never drawn again: in a
      // folder of many files that are not pictures, each costs one look.
      const auto& unusable = saver_.unusablePictures;
      for (std::int32_t n = 0; n < pictureCount_; ++n) {
        if (saver_.pictureFiles.empty() || !unusable[static_cast<std::size_t>(n)]) pool_.push_back(std::to_string(n));
      }
    }
    std::int32_t position = 0;
    if (saver_.RandomOrder()) {
      Randomize(desktop_, saver_.randomSeed);
      position = Random(saver_.randomSeed, static_cast<std::int32_t>(pool_.size()));
    }
    const auto at = pool_.begin() + position;
    pictureIndex_ = std::stoi(*at);
    pool_.erase(at);
  }

  FittedPicture FitBuiltIn() {
    const auto picture = LoadPicture(desktop_, pictureIndex_);
    return FitPicture(desktop_, picture, area_.Width(), area_.Height());
  }

  // The chosen file, or when it cannot be shown the next one of the same
  // order, in this same job: one bad file never holds the screen. A file
  // that failed once is passed over from then on; once every file has
  // failed, the built-in pictures take over for the rest of the run.
  FittedPicture FitFromFolder() {
    auto& files = saver_.pictureFiles;
    auto& unusable = saver_.unusablePictures;
    auto usable = std::count(unusable.begin(), unusable.end(), false);
    while (usable > 0) {
      const auto index = static_cast<std::size_t>(pictureIndex_);
      if (!unusable[index]) {
        if (auto photo = LoadPhoto(desktop_, files[index], area_.Width(), area_.Height(), saver_.fit)) {
          // Drawn into the picture, the caption comes and goes with it.
          CaptionPhoto(saver_, files[index], *photo, area_.Height(), target_);
          return std::move(*photo);
        }
        unusable[index] = true;
        if (--usable == 0) break;
      }
      ChoosePicture();
    }
    files.clear();
    unusable.clear();
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
    PacedWait(app_, 500, false);
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
  return saver.pictureFiles.empty() ? PictureCount : static_cast<std::int32_t>(saver.pictureFiles.size());
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
