#pragma once
// The picture presenter: shows the next picture of the collection on one
// monitor, dissolving it in through the monitor's overlay when Blend is on,
// or draws it into the preview surface.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/forms/canvas.h"
#include "slideshow/paced_wait.h"

namespace orvanel::instance {
struct Saver;
}

namespace orvanel::slideshow {

// The target that stands for the preview surface.
inline constexpr std::int32_t PreviewTarget = 99;
// The built-in pictures in rotation: 0 to 53.
inline constexpr std::int32_t PictureCount = 54;

// The pictures in rotation: the files of the user's folder, or the built-in ones.
std::int32_t PicturesInRotation(const instance::Saver& saver);

// The target and area of the picture after the next one presented: once
// the presenter has its photo, the following photo is read for them while
// the picture comes in and rests.
void ReadAheadFor(instance::Saver& saver, std::int32_t target, const platform::Rect& area);

// Shows one picture. `area` is copied on entry; `canvas` is drawn on only
// for a target other than a monitor (0 to 3). True when the picture was
// presented to the end; false when a presentation was already running or
// the saver began to quit during a fade. A picture that cannot be loaded
// raises its error after everything made for the call has been released.
bool ShowPicture(instance::Saver& saver, forms::Canvas& canvas, const platform::Rect& area,
                 std::vector<std::string>& picturePool, std::int32_t pictureCount,
                 std::int32_t& pictureIndex, std::int32_t target);

}  // namespace orvanel::slideshow
