#pragma once
// The desktop under a screen area as it is before anything of the saver
// shows there: what a full-screen output fades from.
#include "platform/compose/screen_composer.h"
#include "platform/geometry.h"

namespace orvanel::platform::gtk {

class FrameImage;

// Gives `composer` the root window's pixels over `area` as its background.
// With an image, the server reads them into the frame itself, so that it has
// the frame's memory at hand when the first one is put, and they are copied
// for the composer while the saver goes on; without, they come through the
// toolkit.
void CaptureDesktop(const Rect& area, FrameImage* image, compose::ScreenComposer& composer);

}  // namespace orvanel::platform::gtk
