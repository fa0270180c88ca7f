#include "platform/gtk/x11/desktop_capture.h"

#include <gdk/gdkx.h>

#include <algorithm>
#include <memory>

#include "platform/gtk/x11/frame_image.h"

namespace orvanel::platform::gtk {

void CaptureDesktop(const Rect& area, FrameImage* image, compose::ScreenComposer& composer) {
  if (image) {
    // The composer lets the copy go once the saver's windows cover it.
    if (image->Get(GDK_ROOT_WINDOW(), Point{area.left, area.top})) composer.AdoptBackground(image->Copy());
    return;
  }
  GdkWindow* root = gdk_get_default_root_window();
  const std::unique_ptr<GdkPixbuf, decltype(&g_object_unref)> taken(
      gdk_pixbuf_get_from_window(root, area.left, area.top, area.Width(), area.Height()), &g_object_unref);
  GdkPixbuf* shot = taken.get();
  if (shot == nullptr) return;
  const int channels = gdk_pixbuf_get_n_channels(shot);
  const int stride = gdk_pixbuf_get_rowstride(shot);
  const guchar* pixels = gdk_pixbuf_read_pixels(shot);
  std::uint8_t* target = composer.Background();
  const int width = std::min(gdk_pixbuf_get_width(shot), composer.Width());
  const int height = std::min(gdk_pixbuf_get_height(shot), composer.Height());
  for (int y = 0; y < height; ++y) {
    const guchar* from = pixels + y * stride;
    std::uint8_t* to = target + y * composer.Stride();
    for (int x = 0; x < width; ++x) {
      to[x * 4 + 0] = from[x * channels + 2];
      to[x * 4 + 1] = from[x * channels + 1];
      to[x * 4 + 2] = from[x * channels + 0];
      to[x * 4 + 3] = 0xFF;
    }
  }
  composer.BackgroundWritten();
}

}  // namespace orvanel::platform::gtk
