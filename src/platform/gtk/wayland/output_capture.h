#pragma once
// An output as it is before anything of the saver shows there: what its
// full-screen surface fades from.
#include <gdk/gdk.h>

#include "platform/compose/screen_composer.h"

namespace orvanel::platform::gtk {

class OwnQueue;

// Gives `composer` the output's pixels as its background where the compositor
// lets a client copy them (wlroots' screen copy) at the composer's size.
// Elsewhere the background stays black, and false is returned. Setting
// ORVANEL_NO_SCREENCOPY in the environment takes that way on any compositor.
bool CaptureOutput(OwnQueue& queue, GdkMonitor* monitor, compose::ScreenComposer& composer);

}  // namespace orvanel::platform::gtk
