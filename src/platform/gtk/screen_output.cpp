#include "platform/gtk/screen_output.h"

#include <optional>

#include "platform/gtk/gtk_desktop.h"
#include "platform/gtk/output_input.h"

namespace orvanel::platform::gtk {

void ScreenOutput::PaintFrame(cairo_t* cairo) {
  PaintPixels(cairo, composer_.Compose(desktop_.LayersOver(area_)), true);
}

void ScreenOutput::PaintPixels(cairo_t* cairo, const std::uint8_t* frame, bool opaque) {
  cairo_surface_t* image = cairo_image_surface_create_for_data(
      const_cast<std::uint8_t*>(frame), opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, composer_.Width(),
      composer_.Height(), static_cast<int>(composer_.Stride()));
  cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cairo, image, 0, 0);
  cairo_paint(cairo);
  cairo_surface_destroy(image);
}

std::vector<Rect> ScreenOutput::ComposeInto(std::uint8_t* target) {
  return composer_.ComposeInto(desktop_.LayersOver(area_), target);
}

bool ScreenOutput::Differs() { return composer_.Differs(desktop_.LayersOver(area_)); }

void ScreenOutput::PaintFrame(const Cairo::RefPtr<Cairo::Context>& cairo) {
  PaintFrame(cairo->cobj());
}

namespace {

// The drawing area of the try-out window.
class ContainerOutput : public ScreenOutput {
 public:
  ContainerOutput(GtkDesktop& desktop, Gtk::Window& container, const Rect& area)
      : ScreenOutput(desktop, area) {
    drawingArea_.set_size_request(area.Width(), area.Height());
    drawingArea_.set_can_focus(true);
    drawingArea_.signal_draw().connect([this](const Cairo::RefPtr<Cairo::Context>& cairo) {
      PaintFrame(cairo);
      return true;
    });
    ConnectInput(desktop, drawingArea_, Point{0, 0});
    container.add(drawingArea_);
    drawingArea_.show();
    drawingArea_.grab_focus();
  }
  void Invalidate() override { drawingArea_.queue_draw(); }
  void SetShown(bool) override {}
  void SetCursorHidden(bool hidden) override { ApplyCursor(drawingArea_, hidden, cursorHidden_); }

 private:
  Gtk::DrawingArea drawingArea_;
  std::optional<bool> cursorHidden_;
};


}  // namespace

std::unique_ptr<ScreenOutput> ScreenOutput::InContainer(GtkDesktop& desktop, Gtk::Window& container,
                                                        const Rect& area) {
  return std::make_unique<ContainerOutput>(desktop, container, area);
}

}  // namespace orvanel::platform::gtk
